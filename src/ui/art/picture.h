#pragma once

#include <QString>
#include <QWidget>

#include <memory>

struct PictureArt;

// An image control: one picture from the resources, scaled to the widget's
// size with its aspect ratio kept and centred, on a transparent background
// so the panel's colour shows around it.
class Picture : public QWidget {
    Q_OBJECT
public:
    explicit Picture(const QString &resourcePath, QWidget *parent = nullptr);
    ~Picture() override;

    void setSource(const QString &resourcePath);
    QString source() const;
    // False when the path names no readable picture; the widget then paints nothing.
    bool isValid() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Q_DISABLE_COPY_MOVE(Picture)

    QString source_;
    // Shared by every picture of the same source while any of them lives:
    // a screen shows the same mark many times, and parses and draws it once
    // for each size.
    std::shared_ptr<PictureArt> art_;
};
