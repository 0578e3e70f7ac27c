#include "ui/situation_lists.h"

#include "store/situation_file.h"

#include <QListWidget>

void SituationLists::fill(QListWidget *list, const QStringList &labels)
{
    list->clear();
    list->addItems(labels);
}

MaybeError SituationLists::LoadSituationList(const DataDir &dir)
{
    QStringList labels;
    if (MaybeError e = store::readSituationList(dir, &labels))
        return e;
    fill(lstAct_, labels);
    fill(lstAct2_, labels);
    fill(lstKoumoku_, labels);
    return std::nullopt;
}

void SituationLists::appendToAll(const QString &label)
{
    lstAct_->addItem(label);
    lstAct2_->addItem(label);
    lstKoumoku_->addItem(label);
}

void SituationLists::refillFromWorkingCopy()
{
    const QStringList labels = workingCopy();
    fill(lstAct_, labels);
    fill(lstAct2_, labels);
}

void SituationLists::clearAll()
{
    lstAct_->clear();
    lstAct2_->clear();
    lstKoumoku_->clear();
}

QStringList SituationLists::workingCopy() const
{
    QStringList out;
    for (int i = 0; i < lstKoumoku_->count(); ++i)
        out.append(lstKoumoku_->item(i)->text());
    return out;
}
