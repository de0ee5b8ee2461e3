#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Services.h"

// The small window procedures every form shares, and the twips arithmetic behind them.
namespace wendra::ui {

inline constexpr int kTwipsPerInch = 1440;

// Twips to pixels at a resolution in dots per inch, rounded to the nearest pixel, and back.
int twipsToPixels(int twips, double dpi);
int pixelsToTwips(int pixels, double dpi);

struct Position {
    int left = 0;
    int top = 0;
    bool operator==(const Position&) const = default;
};

// Where a window of the given size stands centred on the screen, or over its
// owner. A top above the screen becomes 0; the left may stay negative.
Position centredOnScreen(int formWidth, int formHeight, int screenWidth, int screenHeight);
Position centredOver(const Geometry& owner, int formWidth, int formHeight);
void centreForm(Form& form, const WindowPlacement& screen);
void centreForm(Form& form, const Form& owner);

// The colours of the procedures below.
inline constexpr Colour kFieldEnabledColour = colours::white;
inline constexpr Colour kFieldDisabledColour = colours::buttonFace;
inline constexpr Colour kFocusOnColour = rgb(255, 255, 185);
inline constexpr Colour kFocusOffColour = 0xFF8000;

// A text box and its label enabled together, the box white when enabled and in the
// button-face colour when not.
void enableTextField(TextBox& box, Label& label, bool enabled);
void selectAllText(TextBox& box);
void focusColourOn(Control& control);
void focusColourOff(Control& control);
// The buttons in the normal colour, then the hovered one (if any) in the focus colour.
void showHover(const std::vector<CommandButton*>& buttons, const Control* hovered);
// What a button that takes the focus does to the others: the main window's
// dialogs light it beside them as they are, the editor's light it alone.
enum class FocusHover { BesideOthers, Alone };
// Wires the buttons' focus colours: the pointer over a button, or the focus,
// lights it; losing the focus, or the pointer over one of the surfaces, lights none.
void wireHover(std::vector<CommandButton*> buttons, FocusHover focus, std::initializer_list<Control*> surfaces = {});
void setButtonPicture(CommandButton& button, std::string key);
// Each button shows its key followed by "1"; the one named as hovered shows "2".
void updateButtonImages(CommandButton& button1, const std::string& key1, CommandButton& button2,
                        const std::string& key2, const Control* hovered = nullptr);
// The form height that ends just below the control: its bottom plus two and a half
// times the height of a line of text.
int heightBelowControl(const Control& control, int textHeightOfA);
bool setAlwaysOnTop(Form& form, bool onTop, WindowPlacement& placement);

}  // namespace wendra::ui
