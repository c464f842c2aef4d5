#pragma once

#include "platform/MsgBox.h"

#include <deque>
#include <string>
#include <vector>

// Takes the place of the message box while it lives: records every message
// and answers from a script (OK when the script has run out).
class MessageRecorder
{
public:
    struct Message
    {
        std::wstring text;
        std::wstring caption;
        unsigned buttons = 0;
    };

    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void setNextAnswer(int answer) { m_answers.push_back(answer); }
    const std::vector<Message>& messages() const { return m_messages; }
    std::vector<std::wstring> texts() const;
    void clear() { m_messages.clear(); }

private:
    std::vector<Message> m_messages;
    std::deque<int> m_answers;
    MsgBox::Handler m_previous;
};
