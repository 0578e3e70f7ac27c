#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One entry point per reader of the store. Each takes the bytes of one
// file, writes them where the reader looks and reads them the program's
// way. The sanitizers watch for crashes and undefined behaviour; what the
// reader accepts is checked besides: a value it lets through is one the
// program could have written, and a file it accepts is written back and
// read again to the same content. A check that fails is a finding: it is
// printed with the input and the process aborts.
namespace fuzz {

struct Target {
    const char *name;   // also the folder of its seed files under corpus/
    void (*run)(const QByteArray &input);
};

// Reads one input through a target.
void runOne(const Target &target, const QByteArray &input);

// Every target, in a fixed order.
const QList<Target> &targets();
const Target *findTarget(const QString &name);

// Where the targets write their files: a fresh directory under `base`
// (or the system's temporary directory when `base` is empty), removed at
// exit. Called once, before the first run.
void setUpWorkspace(const QString &base);

// The input being read, so that a crash can print it.
const QByteArray *currentInput();

// Counts of the inputs a target accepted, for the summary.
qint64 acceptedCount();

} // namespace fuzz
