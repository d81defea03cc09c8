#pragma once

#include "base/module_family.h"
#include "link/serial_link.h"

#include <QString>

#include <array>

class CModuleImage;

// The module actions of the Adjust page: which action each button sends,
// when it may be pressed, and the line that reports an action's reply.
namespace AdjustActions {

// "2-wires compensation, Channel1" and the other action names.
QString ActionName(ActionCode code);
// "Adjust <name>...<status>": the status of the reply, and after a 2-wire
// compensation the wire resistance it measured.
QString ResultText(ActionCode code, const ActionReply &reply);
// "Adjust <name>...<why>" for an exchange the module did not answer.
QString FailureText(ActionCode code, LinkResult result);

// One button of the page with the texts of its label and of itself (string
// numbers, 0 for none).
struct Button {
    bool shown = true;
    bool enabled = false;
    ActionCode action = ActionCode::ResetLimitValue1;
    int labelText = 0;
    int buttonText = 0;
};

// The channel buttons (channel 1 and 2) and the limit-value reset buttons
// (channel 1 and 2) as the connected module allows them.
struct Page {
    std::array<Button, 2> channelAction;
    std::array<Button, 2> resetLimitValue;
};
Page PageFor(const CModuleImage &image, ModuleFamily family);

// Empty when the page offers the action for the module; otherwise the
// message that tells why it is refused.
QString Refusal(const CModuleImage &image, ModuleFamily family, ActionCode code);

} // namespace AdjustActions
