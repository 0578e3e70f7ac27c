#pragma once

#include "store/data_dir.h"
#include "store/store_error.h"

#include <QStringList>

class QListWidget;

// The situation list lives three times, always in file order: lstAct on
// the weight screen, lstAct2 on the search screen and lstKoumoku, the
// working copy of the settings screen. This keeps them in step. The
// search screen is built when it is first opened: its list joins then,
// with what lstAct holds, which it always mirrors.
class SituationLists {
public:
    SituationLists(QListWidget *lstAct, QListWidget *lstKoumoku) : lstAct_(lstAct), lstKoumoku_(lstKoumoku) {}
    void attachLstAct2(QListWidget *lstAct2);

    // LoadSituationList: empties the three lists and fills them from the file.
    MaybeError LoadSituationList(const DataDir &dir);
    // Adds one label at the end of all three lists.
    void appendToAll(const QString &label);
    // Empties lstAct and lstAct2 and refills them from lstKoumoku.
    void refillFromWorkingCopy();
    void clearAll();

    QStringList workingCopy() const;

    QListWidget *lstAct() const { return lstAct_; }
    QListWidget *lstAct2() const { return lstAct2_; }
    QListWidget *lstKoumoku() const { return lstKoumoku_; }

private:
    static void fill(QListWidget *list, const QStringList &labels);

    QListWidget *lstAct_;
    QListWidget *lstAct2_ = nullptr;
    QListWidget *lstKoumoku_;
};
