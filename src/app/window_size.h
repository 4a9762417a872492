#pragma once
// Keeps a form's client area, and so its aligned controls, at the size of its
// window when the window manager resizes it (maximising, the user's drag).
class TForm;

void FollowWindowSize(TForm& form);
