#include "form1.h"

// The page's script starts here: it makes the window, which then answers the page's events. The
// runtime stays after main returns, and so does the window.
int main() {
    static Form1 form;
    return 0;
}
