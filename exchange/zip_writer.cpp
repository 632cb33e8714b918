#include "exchange/zip_writer.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <limits>

namespace {

constexpr std::size_t kOutBytes = 256 << 10;
constexpr std::uint64_t kZipLimit = std::numeric_limits<std::uint32_t>::max();
// General purpose flags: sizes in a descriptor after the data (3), names in
// UTF-8 (11).
constexpr std::uint16_t kFlags = 1u << 3 | 1u << 11;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kVersion = 20;

void Put16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void Put32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

z_stream* Stream(void* stream) { return static_cast<z_stream*>(stream); }

}  // namespace

ZipWriter::ZipWriter(std::FILE* file) : file_(file), out_(kOutBytes) {
    // The entries' time in the MS-DOS form zip uses, local time.
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    if (local.tm_year >= 80) {
        time_ =
            static_cast<std::uint16_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
        date_ = static_cast<std::uint16_t>((local.tm_year - 80) << 9 | (local.tm_mon + 1) << 5 |
                                           local.tm_mday);
    }
}

ZipWriter::~ZipWriter() {
    if (stream_) {
        deflateEnd(Stream(stream_));
        delete Stream(stream_);
    }
}

std::string ZipWriter::WriteProblem(int error) {
    if (error == ENOSPC) return "磁盘已满：请腾出磁盘空间后再导出";
#ifdef EDQUOT  // no disk quotas in the Windows C runtime
    if (error == EDQUOT) return "超出了磁盘配额：请腾出空间后再导出";
#endif
    if (error == EIO) return "磁盘读写出错";
    if (error == EFBIG) return "文件超出了系统允许的大小";
    return std::strerror(error);
}

bool ZipWriter::Fail(std::string text) {
    if (error_.empty()) error_ = std::move(text);
    return false;
}

bool ZipWriter::Put(std::string_view bytes) {
    if (!error_.empty()) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        return Fail("无法写出工作簿：" + WriteProblem(errno));
    }
    offset_ += bytes.size();
    return true;
}

bool ZipWriter::Begin(const std::string& name) {
    if (!error_.empty()) return false;
    if (offset_ > kZipLimit) return Fail("工作簿超过 4 GB，无法写出");
    entries_.push_back({name, 0, 0, 0, offset_});
    std::string header;
    Put32(header, 0x04034b50);
    Put16(header, kVersion);
    Put16(header, kFlags);
    Put16(header, kDeflated);
    Put16(header, time_);
    Put16(header, date_);
    Put32(header, 0);  // checksum and sizes: in the descriptor
    Put32(header, 0);
    Put32(header, 0);
    Put16(header, static_cast<std::uint16_t>(name.size()));
    Put16(header, 0);
    header += name;
    auto* stream = new z_stream{};
    stream_ = stream;
    if (deflateInit2(stream, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        return Fail("无法写出工作簿：压缩程序无法启动");
    }
    open_ = true;
    return Put(header);
}

bool ZipWriter::Deflate(std::string_view bytes, bool last) {
    z_stream* stream = Stream(stream_);
    stream->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream->avail_in = static_cast<uInt>(bytes.size());
    for (;;) {
        stream->next_out = out_.data();
        stream->avail_out = static_cast<uInt>(out_.size());
        const int result = deflate(stream, last ? Z_FINISH : Z_NO_FLUSH);
        if (result == Z_STREAM_ERROR) return Fail("无法写出工作簿：压缩失败");
        const std::size_t produced = out_.size() - stream->avail_out;
        entries_.back().compressed += produced;
        if (!Put(std::string_view(reinterpret_cast<const char*>(out_.data()), produced))) {
            return false;
        }
        if (last ? result == Z_STREAM_END : stream->avail_in == 0 && stream->avail_out != 0) {
            return true;
        }
    }
}

bool ZipWriter::Write(std::string_view bytes) {
    if (!error_.empty() || !open_) return false;
    Entry& entry = entries_.back();
    // zlib counts in unsigned ints: large pieces go in parts.
    constexpr std::size_t kPiece = 1u << 30;
    for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
        const std::string_view piece = bytes.substr(at, kPiece);
        entry.crc = static_cast<std::uint32_t>(crc32(entry.crc,
                                                     reinterpret_cast<const Bytef*>(piece.data()),
                                                     static_cast<uInt>(piece.size())));
        entry.size += piece.size();
        if (!Deflate(piece, false)) return false;
    }
    if (entry.size > kZipLimit) return Fail("工作簿中的一个部分超过 4 GB，无法写出");
    return true;
}

bool ZipWriter::End() {
    if (!error_.empty() || !open_) return false;
    if (!Deflate({}, true)) return false;
    deflateEnd(Stream(stream_));
    delete Stream(stream_);
    stream_ = nullptr;
    open_ = false;
    const Entry& entry = entries_.back();
    if (entry.compressed > kZipLimit) return Fail("工作簿中的一个部分超过 4 GB，无法写出");
    std::string descriptor;
    Put32(descriptor, 0x08074b50);
    Put32(descriptor, entry.crc);
    Put32(descriptor, static_cast<std::uint32_t>(entry.compressed));
    Put32(descriptor, static_cast<std::uint32_t>(entry.size));
    return Put(descriptor);
}

bool ZipWriter::Finish() {
    if (open_) End();
    if (!error_.empty()) return false;
    const std::uint64_t start = offset_;
    std::string directory;
    for (const Entry& entry : entries_) {
        Put32(directory, 0x02014b50);
        Put16(directory, 3 << 8 | kVersion);  // made on Unix
        Put16(directory, kVersion);
        Put16(directory, kFlags);
        Put16(directory, kDeflated);
        Put16(directory, time_);
        Put16(directory, date_);
        Put32(directory, entry.crc);
        Put32(directory, static_cast<std::uint32_t>(entry.compressed));
        Put32(directory, static_cast<std::uint32_t>(entry.size));
        Put16(directory, static_cast<std::uint16_t>(entry.name.size()));
        Put16(directory, 0);  // extra field
        Put16(directory, 0);  // comment
        Put16(directory, 0);  // disk
        Put16(directory, 0);  // internal attributes
        Put32(directory, 0100644u << 16);
        Put32(directory, static_cast<std::uint32_t>(entry.offset));
        directory += entry.name;
    }
    const std::size_t size = directory.size();
    if (start + size > kZipLimit) return Fail("工作簿超过 4 GB，无法写出");
    Put32(directory, 0x06054b50);
    Put16(directory, 0);
    Put16(directory, 0);
    Put16(directory, static_cast<std::uint16_t>(entries_.size()));
    Put16(directory, static_cast<std::uint16_t>(entries_.size()));
    Put32(directory, static_cast<std::uint32_t>(size));
    Put32(directory, static_cast<std::uint32_t>(start));
    Put16(directory, 0);
    return Put(directory);
}
