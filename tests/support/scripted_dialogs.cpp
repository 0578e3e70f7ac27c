#include "scripted_dialogs.h"

Dialogs::Answer ScriptedDialogs::message(QWidget *, const QString &text, const QString &title,
                                         Icon icon, Buttons buttons)
{
    calls.append({Call::Kind::Message, text, title, icon, buttons, QString()});
    if (!answers.isEmpty())
        return answers.takeFirst();
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

std::optional<QString> ScriptedDialogs::input(QWidget *, const QString &prompt,
                                              const QString &title, const QString &defaultText)
{
    calls.append({Call::Kind::Input, prompt, title, Icon::None, Buttons::OkCancel, defaultText});
    if (!inputs.isEmpty())
        return inputs.takeFirst();
    return std::nullopt;
}

QStringList ScriptedDialogs::titles() const
{
    QStringList out;
    for (const Call &c : calls)
        out.append(c.title);
    return out;
}
