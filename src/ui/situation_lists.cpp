#include "ui/situation_lists.h"

#include "store/situation_file.h"

#include <QListWidget>

void SituationLists::fill(QListWidget *list, const QStringList &labels)
{
    if (!list)
        return;
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
    if (lstAct2_)
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
    if (lstAct2_)
        lstAct2_->clear();
    lstKoumoku_->clear();
}

void SituationLists::attachLstAct2(QListWidget *lstAct2)
{
    lstAct2_ = lstAct2;
    QStringList labels;
    for (int i = 0; i < lstAct_->count(); ++i)
        labels.append(lstAct_->item(i)->text());
    fill(lstAct2_, labels);
}

QStringList SituationLists::workingCopy() const
{
    QStringList out;
    for (int i = 0; i < lstKoumoku_->count(); ++i)
        out.append(lstKoumoku_->item(i)->text());
    return out;
}
