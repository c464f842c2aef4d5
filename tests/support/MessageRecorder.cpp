#include "support/MessageRecorder.h"

MessageRecorder::MessageRecorder()
{
    m_previous =
        MsgBox::setHandler([this](const std::wstring& text, const std::wstring& caption, unsigned buttons) {
            m_messages.push_back({text, caption, buttons});
            if (m_answers.empty())
                return static_cast<int>(MsgBox::IdOk);
            const int answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        });
}

MessageRecorder::~MessageRecorder()
{
    MsgBox::setHandler(std::move(m_previous));
}

std::vector<std::wstring> MessageRecorder::texts() const
{
    std::vector<std::wstring> result;
    for (const Message& message : m_messages)
        result.push_back(message.text);
    return result;
}
