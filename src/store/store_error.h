#pragma once

#include <QString>
#include <optional>

// What went wrong with a file: its name, the line (0 when the fault is not
// about one line) and the reason, in Japanese for the user.
struct StoreError {
    QString file;
    int line = 0;
    QString reason;

    // One sentence for a message box: 「データ1.txt」の 12 行目: 項目が足りません
    QString message() const
    {
        if (line > 0)
            return QStringLiteral("「%1」の %2 行目: %3").arg(file).arg(line).arg(reason);
        if (file.isEmpty())
            return reason;
        return QStringLiteral("「%1」: %2").arg(file, reason);
    }
};

// Empty on success.
using MaybeError = std::optional<StoreError>;
