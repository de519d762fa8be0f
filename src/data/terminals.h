// Records of the Kolv terminal tree.
#pragma once

#include <QString>

// One fingerprint terminal of the terminal directory.
struct tgeraet
{
    QString typid;        // terminal identifier, as stored in fingerid_to_geraet.geraet
    QString parentref;    // ref of the terminal's group
    QString bezeichnung;  // display name
};

// One group of the terminal tree; its display name is the item text beside it.
struct Tgergroup
{
    int level = 0;
    QString ref;
};
