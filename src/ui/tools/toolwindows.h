#pragma once

class TfMainTarvelTerm;

// Adds the auxiliary windows to the main window:
// - the menu "Nástroje" (mimUtility) before "Zobrazení", with the ASCII
//   table (mimUtilityAsciiTable, action aAsciiTable, Alt+A) and the device
//   scanner (mimUtilityTarvelScaner, hidden);
// - About (action aAbout, item mimAbout before the language menu at the
//   right end of the menu bar, and a click on the picture Image1);
// - "Centrovat formuláře na hlavní monitor" (mimViewCenterForms) at the end
//   of "Zobrazení", with Ctrl+Shift+Home from any window of the program.
// While the ASCII table exists, the byte under the mouse in the log is
// selected in it. The ASCII table and any About windows still open go with
// the main window.
void AttachToolWindows(TfMainTarvelTerm &window);
