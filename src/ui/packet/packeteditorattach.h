#pragma once

class TfMainTarvelTerm;
class TfrPaket;

// Puts the packet editor into the main window: the editor frame replaces
// the placeholder "frPaket1" in the left panel and is initialised; its
// packets go to SendData with the force flag off; the "Paket" menu (save
// Ctrl+U, send Ctrl+Enter) stands before the setup, tools and view menus;
// the save button is bound to the action "aSetPreset" (Ctrl+P), which the
// preset store connects to; a log row asked for (double click or the log's
// pop-up item) opens its packet window. Call once, while the window is
// created. Returns the editor, owned by the window.
TfrPaket *AttachPacketEditor(TfMainTarvelTerm &window);
