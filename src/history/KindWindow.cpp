#include "history/KindWindow.h"

#include "model/LayoutModel.h"

#include <QDialog>

void closeWhenKindLeaves(QDialog* window, zeltra::LayoutModel& model, std::int32_t kind,
                         std::function<void()> beforeClosing)
{
    QObject::connect(&model, &zeltra::LayoutModel::kindChanged, window,
                     [window, kind, beforeClosing = std::move(beforeClosing)](std::int32_t now) {
                         if (now == kind || !window->isVisible())
                             return;
                         if (beforeClosing)
                             beforeClosing();
                         window->reject();
                     });
}
