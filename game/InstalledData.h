// Lets an installed game run from any working directory.
#ifndef INSTALLED_DATA_H
#define INSTALLED_DATA_H

// When the program runs from PREFIX/bin with its data in PREFIX/share/zelvra,
// it logs to $XDG_STATE_HOME/zelvra/zelvra.log (~/.local/state/zelvra), reads
// the player's $XDG_CONFIG_HOME/zelvra/zv-config.txt (~/.config/zelvra; the
// default is copied there on the first run) and changes to the data folder,
// where the relative names of sprites, sounds and font resolve. ZELVRA_LOG and
// ZELVRA_CONFIG, when set, still win. Anywhere else (the build folder) it does
// nothing.
void useInstalledData();

#endif
