#pragma once

#include <QString>
#include <QWidget>

class QSvgRenderer;

// The frameless window shown while the program loads (frmSplash). It only
// paints; the main window shows it, and closes it when loading is done.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget *parent = nullptr);
    ~SplashWindow() override;

    // "Version 0.1" unless told otherwise.
    void setVersionText(const QString &text);
    QString versionText() const;

    static QString title();    // ナナホシ
    static QString subtitle(); // the line under the name

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    Q_DISABLE_COPY_MOVE(SplashWindow)

    void centreOnScreen();

    QString version_;
    QSvgRenderer *ladybird_;
    QSvgRenderer *person1_;
    QSvgRenderer *person2_;
};
