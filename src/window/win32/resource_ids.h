#ifndef CORDSHIFT_WINDOW_WIN32_RESOURCE_IDS_H_
#define CORDSHIFT_WINDOW_WIN32_RESOURCE_IDS_H_

// The numbers of the window program's resources, shared by its resource
// script and its code. The resource compiler reads only the preprocessor's
// definitions, so each number is one; the code takes the typed constant.

// The lowest icon number is the one Explorer, the taskbar and the uninstall
// entry show for the program.
#define CORDSHIFT_APP_ICON_ID 1

#ifndef RC_INVOKED
namespace cordshift {

inline constexpr int kAppIconId = CORDSHIFT_APP_ICON_ID;

}  // namespace cordshift
#endif  // RC_INVOKED

#endif  // CORDSHIFT_WINDOW_WIN32_RESOURCE_IDS_H_
