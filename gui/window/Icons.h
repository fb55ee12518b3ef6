#pragma once
// The pictures of the window: the button pictures named in the control table and the
// window icon.

#include <QIcon>
#include <string>

class QStyle;

namespace quorvex {

// The theme icon of a picture name, the style's standard one where the theme has none;
// the null icon for an unknown name.
QIcon PictureIcon(const std::string& name, QStyle* style);

// The window icon: a small ratio diagram in the default colours.
QIcon ApplicationIcon();

}  // namespace quorvex
