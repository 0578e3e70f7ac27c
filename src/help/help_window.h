#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QListWidget;
class QTextBrowser;
class QUrl;

// The program's own help (frmHelp): a contents list of the screens on the
// left and the chosen page on the right. The pages are HTML in the resources
// under ":/help". The main window owns one and closes it at exit.
class HelpWindow final : public QWidget {
    Q_OBJECT
public:
    struct Section {
        QString anchor; // page name: ":/help/<anchor>.html"
        QString title;  // as listed in the contents
    };

    explicit HelpWindow(QWidget *parent = nullptr);
    ~HelpWindow() override;

    // The sections in contents order; the first is the default topic.
    QList<Section> sections() const;

    // Moves to a section, optionally to a place in it ("entry#save"). An
    // empty or unknown anchor shows the first section, はじめに.
    void showSection(const QString &anchor);
    // showSection, then brings the window to the front.
    void showAt(const QString &anchor = QString());

    // The anchor of the section on display.
    QString currentSection() const;

private:
    Q_DISABLE_COPY_MOVE(HelpWindow)

    void followSource(const QUrl &url);

    QList<Section> sections_;
    QListWidget *contents_;
    QTextBrowser *browser_;
};
