// The game's scenes before they are drawn: the scene number exists, the frame does nothing.
#include "game/game.h"

int GameScene = 0;

void GameFrame()
{
}
