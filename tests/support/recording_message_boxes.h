// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Message boxes for tests: records every box and answers from a script.

#include <deque>
#include <vector>

#include "map/message_boxes.h"

namespace tesselink::testing {

class RecordingMessageBoxes : public MessageBoxes {
public:
    MessageAnswer Show(const UserMessage& message) override {
        Shown.push_back(message);
        if (Answers.empty()) return message.Buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
        const MessageAnswer a = Answers.front();
        Answers.pop_front();
        return a;
    }

    std::vector<UserMessage> Shown;
    std::deque<MessageAnswer> Answers;  // answers to give, in order
};

}  // namespace tesselink::testing
