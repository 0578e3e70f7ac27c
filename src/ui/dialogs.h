#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <memory>
#include <optional>

class QMessageBox;
class QWidget;

// Every modal message and input box of the program goes through one
// Dialogs instance, so tests can install a scripted one that records the
// calls and answers from a queue.
class Dialogs {
public:
    enum class Icon { None, Information, Exclamation, Question, Critical };
    enum class Buttons { Ok, OkCancel, YesNo };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Dialogs() = default;

    virtual Answer message(QWidget *parent, const QString &text, const QString &title,
                           Icon icon = Icon::None, Buttons buttons = Buttons::Ok) = 0;

    // std::nullopt when the user cancels; callers that treat Cancel like an
    // empty answer can use value_or(QString()).
    virtual std::optional<QString> input(QWidget *parent, const QString &prompt,
                                         const QString &title,
                                         const QString &defaultText = QString()) = 0;

    // The file to save to, starting from `suggested` (a full path);
    // std::nullopt when the user cancels. One that cannot ask saves nothing.
    virtual std::optional<QString> saveFile(QWidget *parent, const QString &title,
                                            const QString &suggested, const QString &filter)
    {
        Q_UNUSED(parent) Q_UNUSED(title) Q_UNUSED(suggested) Q_UNUSED(filter)
        return std::nullopt;
    }

    // An existing file to read, starting in `folder`; std::nullopt when
    // the user cancels. One that cannot ask reads nothing.
    virtual std::optional<QString> openFile(QWidget *parent, const QString &title,
                                            const QString &folder, const QString &filter)
    {
        Q_UNUSED(parent) Q_UNUSED(title) Q_UNUSED(folder) Q_UNUSED(filter)
        return std::nullopt;
    }

    // One of `items` (its index), `current` chosen at first; std::nullopt
    // when the user cancels. One that cannot ask chooses nothing.
    virtual std::optional<int> choose(QWidget *parent, const QString &prompt, const QString &title,
                                      const QStringList &items, int current = 0)
    {
        Q_UNUSED(parent) Q_UNUSED(prompt) Q_UNUSED(title) Q_UNUSED(items) Q_UNUSED(current)
        return std::nullopt;
    }
};

// The real boxes: QMessageBox and QInputDialog.
class WidgetDialogs final : public Dialogs {
public:
    Answer message(QWidget *parent, const QString &text, const QString &title, Icon icon,
                   Buttons buttons) override;
    std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
    std::optional<QString> saveFile(QWidget *parent, const QString &title, const QString &suggested,
                                    const QString &filter) override;
    std::optional<QString> openFile(QWidget *parent, const QString &title, const QString &folder,
                                    const QString &filter) override;
    std::optional<int> choose(QWidget *parent, const QString &prompt, const QString &title,
                              const QStringList &items, int current) override;

    // The box message() shows, ready but not yet shown. Its width fits the
    // longest line of the text (up to what the screen allows): Japanese has
    // no spaces, so a narrower box would break lines in the middle of words.
    static std::unique_ptr<QMessageBox> buildMessageBox(QWidget *parent, const QString &text,
                                                        const QString &title, Icon icon,
                                                        Buttons buttons);
    // What the user chose, from the result of the box's exec().
    static Answer answerFor(int result);
};
