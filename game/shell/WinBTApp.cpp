// placeholder until the game application lands
