#include "model/LayoutSteps.h"

namespace zeltra::steps {

QString keyFunction(int keyIndex, const QString& functionName) {
    return QStringLiteral("key %1: %2").arg(keyIndex + 1).arg(functionName);
}

QString keyDetail(int keyIndex, const QString& functionName, const QString& what) {
    return keyFunction(keyIndex, functionName) + QLatin1Char(' ') + what;
}

QString windowCommand(const QString& window, const QString& command) {
    return window + QStringLiteral(": ") + command;
}

} // namespace zeltra::steps
