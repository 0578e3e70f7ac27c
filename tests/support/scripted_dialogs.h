#pragma once

#include "ui/dialogs.h"

#include <QList>
#include <QString>
#include <optional>

// Records every box the program asks for and answers from queues.
// With an empty queue a message box answers its first button (OK or Yes)
// and an input box answers Cancel, and the call is still recorded.
class ScriptedDialogs final : public Dialogs {
public:
    struct Call {
        enum class Kind { Message, Input, Save, Open, Choose } kind = Kind::Message;
        QString text;  // message text, input prompt or suggested file
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        QString defaultText;
    };

    Answer message(QWidget *parent, const QString &text, const QString &title, Icon icon,
                   Buttons buttons) override;
    std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
    // With an empty queue the save dialog is cancelled.
    std::optional<QString> saveFile(QWidget *parent, const QString &title, const QString &suggested,
                                    const QString &filter) override;

    // With an empty queue the open dialog is cancelled.
    std::optional<QString> openFile(QWidget *parent, const QString &title, const QString &folder,
                                    const QString &filter) override;
    // Recorded with the items joined by " / " as defaultText; with an
    // empty queue the choice is cancelled.
    std::optional<int> choose(QWidget *parent, const QString &prompt, const QString &title,
                              const QStringList &items, int current) override;

    void queueAnswer(Answer a) { answers.append(a); }
    void queueInput(std::optional<QString> text) { inputs.append(std::move(text)); }
    void queueSaveFile(std::optional<QString> file) { saves.append(std::move(file)); }
    void queueOpenFile(std::optional<QString> file) { opens.append(std::move(file)); }
    void queueChoice(std::optional<int> index) { choices.append(index); }

    QList<Call> calls;
    QList<Answer> answers;
    QList<std::optional<QString>> inputs;
    QList<std::optional<QString>> saves;
    QList<std::optional<QString>> opens;
    QList<std::optional<int>> choices;

    // Titles of all recorded calls, in order; handy for QCOMPARE.
    QStringList titles() const;

    // One line per box, so a failed comparison shows every part of it:
    // "text | title | icon | buttons".
    static QString describe(const QString &text, const QString &title, Icon icon,
                            Buttons buttons = Buttons::Ok);
    static QString describe(const Call &call);
    void clear()
    {
        calls.clear(); answers.clear(); inputs.clear(); saves.clear(); opens.clear(); choices.clear();
    }
};
