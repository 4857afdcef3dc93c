// Entry point of the game: everything happens in GameMain.
#include <allegro.h>

#include "CMain.h"

int main(int, char**) { return GameMain(); }
END_OF_MAIN()
