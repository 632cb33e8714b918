#pragma once
// The one rule for writing a file that holds customers' names, phones and
// addresses (an export, a statistics workbook, a backup), whoever writes it:
// - readable and writable by its owner only;
// - written under a temporary name beside it and given the name only once
//   complete;
// - an existing file is replaced only when the caller was asked to (the user
//   confirmed that very name, or gave --force), and then only a regular file:
//   a folder, a device, a named pipe or a socket is refused by name;
// - never the ledger (under any name that leads to it) nor another ledger.
// Paths are as the system calls take them (see NativePath).

#include <string>
#include <string_view>

#include "common/status.h"
#include "platform/whole_file.h"

enum class Existing { Keep, Replace };

// Ok when path may be written as asked; otherwise why not, naming the path.
// A path that does not exist may always be written.
Status CustomerFileProblem(const std::string& path, const std::string& ledgerPath,
                           Existing existing);

class CustomerDataFile {
  public:
    CustomerDataFile(std::string path, std::string ledgerPath, Existing existing);

    // Checks the target and makes the temporary file, for Write or for a
    // library that writes by name (TemporaryPath).
    Status Open();
    const std::string& TemporaryPath() const { return file_.TemporaryPath(); }
    Status Write(std::string_view bytes);
    // Checks the target once more, as it may have changed meanwhile, and
    // gives the complete file its name. Unplaced, the temporary file goes.
    Status Place();

  private:
    std::string path_;
    std::string ledgerPath_;
    Existing existing_;
    FileReplacement file_;
};
