#pragma once
// A scripted stand-in for the message box: records every message and answers questions
// from a queue (Yes when the queue is empty).

#include <deque>
#include <string>
#include <vector>

#include "core/model/Messages.h"

namespace quorvex::test {

struct RecordedMessage {
    int id;
    std::string prefix;
    MessageKind kind;
    std::string Text() const { return prefix + MessageText(id); }
};

class RecordingMessageSink final : public MessageSink {
  public:
    std::vector<RecordedMessage> messages;
    std::deque<int> answers;

    int ShowMessage(int id, std::string_view prefix, MessageKind kind) override {
        if (MessageText(id).empty()) return kNoText;
        messages.push_back({id, std::string(prefix), kind});
        if (kind != MessageKind::Question) return kOk;
        if (answers.empty()) return kYes;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const auto& m : messages) ids.push_back(m.id);
        return ids;
    }
};

}  // namespace quorvex::test
