#pragma once

#include <QString>

class QAction;
class QMenu;

// The language menu of the main window (`mimLng`): one entry per language
// file found beside the program, each with its language's name and flag;
// choosing one loads that file. After a load the menu's own item shows the
// language's name and flag.

// The language files the menu offers: tt.files/tt.lng.*.xml in the
// program's folder.
[[nodiscard]] QString LanguageFilePattern();

// Fills the menu from the language files that match the pattern, listed
// by the translator (TLanguage::FindLanguages): one entry per language, in
// the list's order, with the display name as its text, the flag as its
// picture and the index in the list as its data; choosing it runs
// mimLngClick. The menu's title becomes "language" when there are entries
// and stays empty when there are none. Entries of an earlier build are
// removed first. The menu and the menu bar it stands in show a flag beside
// the text from then on.
void BuildLanguageMenu(QMenu *mimLng, const QString &pattern = LanguageFilePattern());

// A language entry was chosen: loads the file of the translator's list item
// at the entry's index, reporting any error in a message box. An index out
// of the list does nothing.
void mimLngClick(const QAction *entry);

// Puts the flag picture of that name (FlagPicture) on a menu item, or takes
// the picture away for a name that is no flag's. Does nothing without an
// item. The main window calls it for `mimLng` when a language has been
// loaded.
void LoadLngBitmatp(const QString &flagName, QAction *item);
void LoadLngBitmatp(const QString &flagName, QMenu *item);
