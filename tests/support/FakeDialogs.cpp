#include "support/FakeDialogs.h"

#include <gtest/gtest.h>

namespace testsupport {

int FakeMessageDialog::show(const QString& text, int style, const QString& title)
{
    m_shown.append({ title, text, style });
    if (onShow)
        onShow();
    if (m_answers.empty()) {
        ADD_FAILURE() << "Unexpected message box (style " << style
                      << ")\n  title: " << title.toStdString()
                      << "\n  text: " << text.toStdString();
        return Msg::Cancel;
    }
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

void FakeMessageDialog::clear()
{
    m_answers.clear();
    m_shown.clear();
    onShow = nullptr;
}

QString FakeInputDialog::ask(
    const QString& prompt, const QString& title, const QString& defaultText)
{
    m_shown.append({ title, prompt, 0 });
    m_defaults.append(defaultText);
    if (m_answers.empty()) {
        ADD_FAILURE() << "Unexpected input box\n  title: " << title.toStdString()
                      << "\n  prompt: " << prompt.toStdString()
                      << "\n  default: " << defaultText.toStdString();
        return QString();
    }
    const QString answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::optional<QString> FakeFileDialog::getOpenFileName(const OpenFileRequest& request)
{
    m_requests.append(request);
    if (m_answers.empty()) {
        ADD_FAILURE() << "Unexpected file dialog: " << request.title.toStdString();
        return std::nullopt;
    }
    const QString path = m_answers.front().value_or(QString());
    const bool chosen = m_answers.front().has_value();
    m_answers.pop_front();
    return chosen ? std::optional<QString>(path) : std::nullopt;
}

namespace {

// The next scripted answer of a dialog, or a failure of the test and a cancel when there is none.
template <typename Answer>
std::optional<Answer> next(std::deque<std::optional<Answer>>& answers, const char* dialog)
{
    if (answers.empty()) {
        ADD_FAILURE() << "Unexpected " << dialog;
        return std::nullopt;
    }
    std::optional<Answer> answer;
    answer.swap(answers.front());
    answers.pop_front();
    return answer;
}

} // namespace

std::optional<SavedFileChoice> FakeFileDialog::getSaveFileName(const SaveFileRequest& request)
{
    m_saveRequests.append(request);
    return next(m_saves, "file-save dialog");
}

std::optional<PrintChoice> FakePrintDialog::choose(const PrintRequest& request)
{
    m_requests.append(request);
    return next(m_answers, "print dialog");
}

std::optional<QStringList> FakeFileDialog::getOpenFileNames(const OpenFileRequest& request)
{
    m_requests.append(request);
    if (m_several.empty()) {
        ADD_FAILURE() << "Unexpected file dialog: " << request.title.toStdString();
        return std::nullopt;
    }
    const bool chosen = m_several.front().has_value();
    const QStringList paths = m_several.front().value_or(QStringList());
    m_several.pop_front();
    return chosen ? std::optional<QStringList>(paths) : std::nullopt;
}

std::optional<QDate> FakeDatePicker::pickDate(const QDate& initial)
{
    m_initial.append(initial);
    if (m_answers.empty()) {
        ADD_FAILURE() << "Unexpected date picker";
        return std::nullopt;
    }
    auto answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

} // namespace testsupport
