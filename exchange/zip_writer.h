#pragma once
// Writes a zip container as a stream: one entry after another, each
// deflated while it is written (zlib's fastest level: a workbook's XML
// shrinks nearly as much at it, in a third of the time), its checksum and
// sizes in a descriptor after it, the directory at the end. Nothing is held
// but a buffer, so an entry of any length takes no more memory.
//
// The plain zip format: an entry or the container beyond 4 GiB is refused.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

class ZipWriter {
  public:
    // Writes to file, which stays the caller's.
    explicit ZipWriter(std::FILE* file);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // Each is false once anything has failed; Error() says what (Chinese).
    bool Begin(const std::string& name);
    bool Write(std::string_view bytes);
    bool End();
    // The directory; the container is complete.
    bool Finish();
    const std::string& Error() const { return error_; }

    // Why a write failed, from errno (Chinese where the cause is common).
    static std::string WriteProblem(int error);

  private:
    struct Entry {
        std::string name;
        std::uint32_t crc = 0;
        std::uint64_t compressed = 0;
        std::uint64_t size = 0;
        std::uint64_t offset = 0;
    };
    bool Deflate(std::string_view bytes, bool last);
    bool Put(std::string_view bytes);
    bool Fail(std::string text);

    std::FILE* file_;
    std::uint64_t offset_ = 0;
    std::vector<Entry> entries_;
    bool open_ = false;
    void* stream_ = nullptr;  // z_stream of the open entry
    std::vector<unsigned char> out_;
    std::uint16_t time_ = 0;
    std::uint16_t date_ = 0;
    std::string error_;
};
