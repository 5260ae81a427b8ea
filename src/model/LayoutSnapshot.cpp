#include "model/LayoutSnapshot.h"

namespace zeltra {

bool LayoutSnapshot::sameLayout(const LayoutSnapshot& other) const {
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i].code != other.keys[i].code)
            return false;
    return mcn == other.mcn && mon == other.mon && shifted == other.shifted;
}

} // namespace zeltra

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
