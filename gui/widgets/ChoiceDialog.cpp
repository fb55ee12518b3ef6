#include "gui/widgets/ChoiceDialog.h"

#include <QInputDialog>

namespace quorvex {
namespace {
std::function<int(const ChoiceRequest&)> g_choiceHook;
}

void SetChoiceHook(std::function<int(const ChoiceRequest&)> hook) {
    g_choiceHook = std::move(hook);
}

int ChooseOne(QWidget* parent, const ChoiceRequest& request) {
    if (g_choiceHook) return g_choiceHook(request);
    bool ok = false;
    const QString chosen = QInputDialog::getItem(parent, request.title, request.label,
                                                 request.items, request.current, false, &ok);
    return ok ? static_cast<int>(request.items.indexOf(chosen)) : -1;
}

}  // namespace quorvex
