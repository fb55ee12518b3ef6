#pragma once
// A read-only stream in front of the XML reader that bounds what the reader can be made to
// hold or do: the total bytes, the bytes of one token (the reader keeps a whole text or tag
// in memory until it ends), and the attributes of one start tag (the reader compares every
// attribute with every other, so their count costs quadratic time before any of them is
// seen). The source is a plain file, a buffer or an entry inflated from a ZIP.

#include <QIODevice>
#include <cstdint>
#include <functional>

namespace quorvex {

class GuardedInput final : public QIODevice {
  public:
    // Reads up to max bytes into data; 0 at the end, −1 on a read error.
    using Source = std::function<std::int64_t(char* data, std::int64_t max)>;
    enum class Limit { None, Bytes, Token, Attributes };

    GuardedInput(Source source, std::int64_t maxBytes, std::int64_t maxTokenBytes,
                 int maxAttributes = 1000);

    // The reader has finished a token: the next one starts here.
    void TokenDone() { tokenStart_ = delivered_; }
    bool exceeded() const { return exceeded_ != Limit::None; }
    Limit limitHit() const { return exceeded_; }
    bool failed() const { return failed_; }
    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char* data, qint64 max) override;
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    // Counts the attributes of start tags in the bytes about to be delivered: a '=' outside
    // quotes inside a tag. Comments, declarations and instructions are passed over.
    bool ScanAttributes(const char* data, std::int64_t n);

    Source source_;
    std::int64_t maxBytes_, maxTokenBytes_;
    int maxAttributes_;
    std::int64_t delivered_ = 0, tokenStart_ = 0;
    Limit exceeded_ = Limit::None;
    bool failed_ = false;
    enum class Scan : unsigned char { Text, Open, Tag, Quote, Markup } scan_ = Scan::Text;
    char quote_ = 0;
    int attributes_ = 0;
};

}  // namespace quorvex
