// Rebinding from the Controls dialog: after Set, the next key or joystick
// button pressed goes to the control that waits for one.
#pragma once

// 1 when the dialog took the key (Escape cancels the wait).
int controls_take_key(int scancode);
// 1 when the dialog took the joystick button.
int controls_take_button(int button);
