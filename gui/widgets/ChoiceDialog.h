#pragma once
// A small modal choice among a few texts, behind a hook like the window's other dialogs, so
// that tests script the answer and no real dialog opens there.

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace quorvex {

struct ChoiceRequest {
    QString title;
    QString label;
    QStringList items;
    int current = 0;  // chosen when the user only confirms
};

// While set, ChooseOne asks the hook. nullptr restores the dialog.
void SetChoiceHook(std::function<int(const ChoiceRequest&)> hook);

// The index of the chosen item, or −1 when cancelled.
int ChooseOne(QWidget* parent, const ChoiceRequest& request);

}  // namespace quorvex
