#pragma once

#include "store/data_dir.h"
#include "store/store_error.h"

#include <QStringList>
#include <QStringListModel>

class QListView;
class QListWidget;

// The situation list, always in file order: one model of the list as last
// loaded or saved, which lstAct on the weight screen and lstAct2 on the
// search screen both view, and lstKoumoku, the settings screen's working
// copy, which the editor changes first and then commits to the file and
// the model. A screen built later views the same model.
class SituationLists {
public:
    explicit SituationLists(QListWidget *lstKoumoku) : lstKoumoku_(lstKoumoku) {}
    // The list shows the model, read-only.
    void attachMirror(QListView *list);
    QStringListModel *model() { return &model_; }

    // LoadSituationList: the model and the working copy from the file.
    MaybeError LoadSituationList(const DataDir &dir);
    // Adds one label at the end of the model and the working copy.
    void appendToAll(const QString &label);
    // The working copy, saved, becomes the model.
    void refillFromWorkingCopy();
    void clearAll();

    QStringList workingCopy() const;

private:
    static void fill(QListWidget *list, const QStringList &labels);

    QStringListModel model_; // what lstAct and lstAct2 show
    QListWidget *lstKoumoku_;
};
