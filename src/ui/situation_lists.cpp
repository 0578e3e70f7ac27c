#include "ui/situation_lists.h"

#include "store/situation_file.h"

#include <QListWidget>

void SituationLists::fill(QListWidget *list, const QStringList &labels)
{
    list->clear();
    list->addItems(labels);
}

void SituationLists::fillMirrors()
{
    for (QListWidget *list : std::as_const(mirrors_))
        fill(list, mirrored_);
}

void SituationLists::attachMirror(QListWidget *list)
{
    mirrors_.append(list);
    fill(list, mirrored_);
}

MaybeError SituationLists::LoadSituationList(const DataDir &dir)
{
    QStringList labels;
    if (MaybeError e = store::readSituationList(dir, &labels))
        return e;
    mirrored_ = labels;
    fillMirrors();
    fill(lstKoumoku_, labels);
    return std::nullopt;
}

void SituationLists::appendToAll(const QString &label)
{
    mirrored_.append(label);
    for (QListWidget *list : std::as_const(mirrors_))
        list->addItem(label);
    lstKoumoku_->addItem(label);
}

void SituationLists::refillFromWorkingCopy()
{
    mirrored_ = workingCopy();
    fillMirrors();
}

void SituationLists::clearAll()
{
    mirrored_.clear();
    fillMirrors();
    lstKoumoku_->clear();
}

QStringList SituationLists::workingCopy() const
{
    QStringList out;
    for (int i = 0; i < lstKoumoku_->count(); ++i)
        out.append(lstKoumoku_->item(i)->text());
    return out;
}
