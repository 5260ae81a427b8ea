#include "Transfer.h"

#include "ExitCodes.h"

namespace zeltra::cli {

TransferResult runTransfer(const Options&, LayoutModel&, int, const PortChoice&)
{
    return {ExitPort, QStringLiteral("transfers are not built yet"), {}};
}

} // namespace zeltra::cli
