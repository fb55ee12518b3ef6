#pragma once
// The batch CSV, opened for its two readings. A regular file is read from the disk twice;
// anything else (a pipe, a script's process substitution, a device) cannot go back to its
// start and is read once into memory, counted while it comes in (ReadPipeInput), and both
// readings read that.

#include <QString>
#include <fstream>
#include <sstream>

#include "core/model/Messages.h"

namespace quorvex {

class CsvInput final {
  public:
    // False after the message: "ファイルのオープン失敗しました" when it cannot be opened or read,
    // "期の数が制限(5,000期)を超えます" past 5,001 lines of a pipe, "ファイルオブジェクトの作成に
    // 失敗しました" past kMaxPipeBytes; no message when SIGINT/SIGTERM broke the reading off.
    bool Open(const QString& path, MessageSink& sink);
    // The stream of both readings; valid after a successful Open.
    std::istream& Stream();

  private:
    std::ifstream file_;
    std::istringstream buffered_;
    bool inMemory_ = false;
};

}  // namespace quorvex
