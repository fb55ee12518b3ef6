#pragma once
// A read-only stream in front of the XML reader that bounds what the reader can be made to
// hold: the total bytes, and the bytes of one token (the reader keeps a whole text or tag
// in memory until it ends). The source is a plain file or an entry inflated from a ZIP.

#include <QIODevice>
#include <cstdint>
#include <functional>

namespace quorvex {

class GuardedInput final : public QIODevice {
  public:
    // Reads up to max bytes into data; 0 at the end, −1 on a read error.
    using Source = std::function<std::int64_t(char* data, std::int64_t max)>;

    GuardedInput(Source source, std::int64_t maxBytes, std::int64_t maxTokenBytes);

    // The reader has finished a token: the next one starts here.
    void TokenDone() { tokenStart_ = delivered_; }
    bool exceeded() const { return exceeded_; }
    bool failed() const { return failed_; }
    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char* data, qint64 max) override;
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    Source source_;
    std::int64_t maxBytes_, maxTokenBytes_;
    std::int64_t delivered_ = 0, tokenStart_ = 0;
    bool exceeded_ = false, failed_ = false;
};

}  // namespace quorvex

namespace quorvex {
struct FilingInstance;
struct FilingLimits;
struct FilingProblem;
// The instance reader over a guarded stream; a failing source gives readErrorMessage.
FilingProblem ReadGuardedInstance(GuardedInput& input, FilingInstance& instance,
                                  const FilingLimits& limits, int readErrorMessage);
}  // namespace quorvex
