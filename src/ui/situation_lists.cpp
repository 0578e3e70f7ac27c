#include "ui/situation_lists.h"

#include "store/situation_file.h"

#include <QListView>
#include <QListWidget>

void SituationLists::fill(QListWidget *list, const QStringList &labels)
{
    list->clear();
    list->addItems(labels);
}

void SituationLists::attachMirror(QListView *list)
{
    list->setModel(&model_);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

MaybeError SituationLists::LoadSituationList(const DataDir &dir)
{
    QStringList labels;
    if (MaybeError e = store::readSituationList(dir, &labels))
        return e;
    model_.setStringList(labels);
    fill(lstKoumoku_, labels);
    return std::nullopt;
}

void SituationLists::appendToAll(const QString &label)
{
    const int row = model_.rowCount();
    model_.insertRows(row, 1);
    model_.setData(model_.index(row), label);
    lstKoumoku_->addItem(label);
}

void SituationLists::refillFromWorkingCopy()
{
    model_.setStringList(workingCopy());
}

void SituationLists::clearAll()
{
    model_.setStringList({});
    lstKoumoku_->clear();
}

QStringList SituationLists::workingCopy() const
{
    QStringList out;
    for (int i = 0; i < lstKoumoku_->count(); ++i)
        out.append(lstKoumoku_->item(i)->text());
    return out;
}
