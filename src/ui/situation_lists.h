#pragma once

#include "store/data_dir.h"
#include "store/store_error.h"

#include <QList>
#include <QStringList>

class QListWidget;

// The situation list lives three times, always in file order: lstAct on
// the weight screen, lstAct2 on the search screen and lstKoumoku, the
// working copy of the settings screen. This keeps them in step. lstAct and
// lstAct2 mirror the list as last loaded or saved; their screens are built
// when first opened, so each mirror joins then with what the others show.
class SituationLists {
public:
    explicit SituationLists(QListWidget *lstKoumoku) : lstKoumoku_(lstKoumoku) {}
    void attachMirror(QListWidget *list);

    // LoadSituationList: empties the three lists and fills them from the file.
    MaybeError LoadSituationList(const DataDir &dir);
    // Adds one label at the end of all three lists.
    void appendToAll(const QString &label);
    // Empties lstAct and lstAct2 and refills them from lstKoumoku.
    void refillFromWorkingCopy();
    void clearAll();

    QStringList workingCopy() const;

private:
    static void fill(QListWidget *list, const QStringList &labels);
    void fillMirrors();

    QStringList mirrored_; // what lstAct and lstAct2 show
    QList<QListWidget *> mirrors_;
    QListWidget *lstKoumoku_;
};
