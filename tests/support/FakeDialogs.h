#pragma once

#include <deque>
#include <functional>
#include <optional>

#include <QDate>
#include <QList>
#include <QString>

#include "platform/DatePicker.h"
#include "platform/FileDialog.h"
#include "platform/InputDialog.h"
#include "platform/MessageDialog.h"
#include "platform/PrintDialog.h"

namespace testsupport {

// One message box as it was shown.
struct ShownBox
{
    QString title;
    QString text;
    int style = 0;
};

// Scripted message boxes: each box takes the next queued answer and is logged. A box with no
// answer queued fails the test (with its title and text) and answers Cancel.
class FakeMessageDialog final : public MessageDialog
{
public:
    int show(const QString& text, int style, const QString& title) override;

    void answer(int answerCode) { m_answers.push_back(answerCode); }
    // Called as each box is shown, before it answers: what the test wants to see at that moment.
    std::function<void()> onShow;
    const QList<ShownBox>& shown() const { return m_shown; }
    int pending() const { return int(m_answers.size()); }
    void clear();

private:
    std::deque<int> m_answers;
    QList<ShownBox> m_shown;
};

// Scripted input boxes: each takes the next queued text (empty text = cancelled); the prompts are
// logged. An unscripted box fails the test and answers "".
class FakeInputDialog final : public InputDialog
{
public:
    QString ask(const QString& prompt, const QString& title, const QString& defaultText) override;

    void answer(const QString& text) { m_answers.push_back(text); }
    const QList<ShownBox>& shown() const { return m_shown; }
    // The default text of each box, in the order of shown().
    const QList<QString>& defaults() const { return m_defaults; }

private:
    std::deque<QString> m_answers;
    QList<ShownBox> m_shown;
    QList<QString> m_defaults;
};

// Scripted file-open dialog: each takes the next queued choice (nullopt = cancelled).
class FakeFileDialog final : public FileDialog
{
public:
    std::optional<QString> getOpenFileName(const OpenFileRequest& request) override;

    std::optional<QStringList> getOpenFileNames(const OpenFileRequest& request) override;

    std::optional<SavedFileChoice> getSaveFileName(const SaveFileRequest& request) override;

    void answer(std::optional<QString> path) { m_answers.push_back(std::move(path)); }
    // The next several-files choice (nullopt = cancelled).
    void answerSeveral(std::optional<QStringList> paths) { m_several.push_back(std::move(paths)); }
    // The next save choice (nullopt = cancelled).
    void answerSave(std::optional<SavedFileChoice> choice) { m_saves.push_back(std::move(choice)); }
    const QList<OpenFileRequest>& requests() const { return m_requests; }
    const QList<SaveFileRequest>& saveRequests() const { return m_saveRequests; }

private:
    std::deque<std::optional<QString>> m_answers;
    std::deque<std::optional<QStringList>> m_several;
    std::deque<std::optional<SavedFileChoice>> m_saves;
    QList<OpenFileRequest> m_requests;
    QList<SaveFileRequest> m_saveRequests;
};

// Scripted print dialog: each takes the next queued choice (nullopt = cancelled); the requests
// are logged. An unscripted dialog fails the test and cancels.
class FakePrintDialog final : public PrintDialog
{
public:
    std::optional<PrintChoice> choose(const PrintRequest& request) override;

    void answer(std::optional<PrintChoice> choice) { m_answers.push_back(std::move(choice)); }
    const QList<PrintRequest>& requests() const { return m_requests; }

private:
    std::deque<std::optional<PrintChoice>> m_answers;
    QList<PrintRequest> m_requests;
};

// Scripted date picker: each takes the next queued choice (nullopt = cancelled).
class FakeDatePicker final : public DatePicker
{
public:
    std::optional<QDate> pickDate(const QDate& initial) override;

    void answer(std::optional<QDate> date) { m_answers.push_back(date); }
    const QList<QDate>& initialDates() const { return m_initial; }

private:
    std::deque<std::optional<QDate>> m_answers;
    QList<QDate> m_initial;
};

} // namespace testsupport
