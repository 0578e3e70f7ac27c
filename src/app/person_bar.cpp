#include "app/person_bar.h"

#include "core/persons.h"
#include "ui/art/art_paths.h"
#include "ui/art/picture.h"
#include "ui/back_color.h"
#include "ui/palette.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

PersonBar::PersonBar(const Persons &persons, QWidget *parent) : QWidget(parent)
{
    cmdUser1_ = new ColourButton(this);
    cmdUser1_->setObjectName(QStringLiteral("cmdUser1"));
    cmdUser2_ = new ColourButton(this);
    cmdUser2_->setObjectName(QStringLiteral("cmdUser2"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 2);
    layout->addWidget(buildSide(PersonSlot::One, cmdUser1_, &sides_[0]));
    layout->addSpacing(24);
    layout->addWidget(buildSide(PersonSlot::Two, cmdUser2_, &sides_[1]));
    layout->addStretch(1);
    connect(cmdUser1_, &QPushButton::clicked, this, [this] { Q_EMIT clicked(PersonSlot::One); });
    connect(cmdUser2_, &QPushButton::clicked, this, [this] { Q_EMIT clicked(PersonSlot::Two); });
    connect(&persons, &Persons::selectedChanged, this, [this](PersonSlot p) { select(p); });
    connect(&persons, &Persons::profileChanged, this,
            [this, &persons](PersonSlot p) { button(p)->setText(persons.profile(p).nickname); });
    select(persons.selected());
}

QWidget *PersonBar::buildSide(PersonSlot p, ColourButton *button, Side *side)
{
    auto *w = new QWidget(this);
    const int n = personNumber(p);
    button->setMinimumSize(150, 34);
    QFont f = button->font();
    f.setPointSizeF(f.pointSizeF() * 1.15);
    f.setBold(true);
    button->setFont(f);
    button->setToolTip(QStringLiteral("このボタンを押すと%1人目のデータを表示します").arg(n));

    side->count = new QLabel(QStringLiteral("0"), w);
    side->count->setObjectName(QStringLiteral("lblUser%1").arg(n));
    side->count->setAlignment(Qt::AlignCenter);
    side->count->setFixedSize(34, 30);
    side->count->setFrameShape(QFrame::StyledPanel);
    side->count->setFont(f);
    side->count->setToolTip(QStringLiteral("選択した日の入力回数です"));

    const char *const names[4] = {"imgNon", "imgKura", "imgNi", "imgWarai"};
    auto *faces = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        auto *pic = new Picture(art::kCountFace(n, i), w);
        pic->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(names[i])).arg(n));
        pic->setFixedSize(34, 34);
        pic->setVisible(i == 0);
        faces->addWidget(pic, 0, 0);
        side->faces[i] = pic;
    }
    auto *row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(button);
    row->addWidget(side->count);
    row->addLayout(faces);
    return w;
}

void PersonBar::select(PersonSlot p)
{
    button(p)->setBackColor(toColor(palette::kIvory));
    button(otherPerson(p))->setBackColor(QColor());
}

void PersonBar::showCounts(const entry::EntryCounts &counts)
{
    const int c[2] = {counts.count1, counts.count2};
    const Rgb back[2] = {counts.back1, counts.back2};
    const int face[2] = {counts.face1, counts.face2};
    for (int i = 0; i < 2; ++i) {
        sides_[i].count->setText(QString::number(c[i]));
        setBackColor(sides_[i].count, toColor(back[i]));
        for (int k = 0; k < 4; ++k)
            sides_[i].faces[k]->setVisible(k == face[i]);
    }
}
