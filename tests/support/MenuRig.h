// The fixture of the status menu and shop tests: PeopleRig with plain menu pictures, text checks on the shown screen and the sounds played.
#pragma once

#include <string>
#include <vector>

#include "MenuArt.h"
#include "PeopleRig.h"

// PeopleRig with menu_art holding plain pictures of the usual sizes (each one flat colour, the
// status page with its mid-tone band), the sounds the game plays recorded in `sounds`, and a
// short grace, since a menu left open by the script ends the run when the script runs out.
class MenuRig : public PeopleRig {
protected:
    void SetUp() override;
    void TearDown() override;

    std::vector<std::string> sounds;  // every sound effect played, by file

    // Colours of the plain pictures.
    static int Parchment();        // the status page, the shop panel
    static int Band();             // the status page's rows 184 to 258
    static int Frame();            // the menu boxes, the purchase question, the equipment frame
    static int Selector();         // the cursor
    static int Icon(int type);     // the item icon of a type (0 to 7)
    static int Black() { return makecol(0, 0, 0); }
    static int White() { return makecol(255, 255, 255); }
    static int Red() { return makecol(255, 0, 0); }

    // Whether the 9 x 9 cursor stands with its top-left at (x, y).
    ::testing::AssertionResult CursorAt(int x, int y) const;

private:
    CMenuArt saved_;
};
