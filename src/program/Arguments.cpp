#include "program/Arguments.h"

#include <QDir>

namespace zeltra::arguments {

bool showsTrace(const QStringList& args) {
    return !args.isEmpty() &&
           (args.first() == QLatin1String("d") || args.first() == QLatin1String("D"));
}

QString layoutFile(const QStringList& args, const QString& workingDir) {
    for (qsizetype i = showsTrace(args) ? 1 : 0; i < args.size(); ++i) {
        const QString& word = args[i];
        if (!word.isEmpty() && !word.startsWith(QLatin1Char('-')))
            return QDir::cleanPath(QDir(workingDir).absoluteFilePath(word));
    }
    return {};
}

} // namespace zeltra::arguments
