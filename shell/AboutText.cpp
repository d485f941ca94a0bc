#include "shell/AboutText.h"

const char* const kAboutDescription =
    "Pixelmoth applies glitch-art effects to your images. An image you open must measure "
    "between 100 and 6000 pixels on each axis. Your work is saved at the size the image had "
    "when you loaded it, as a JPEG file at maximum quality."
    "\r\r"
    "Superglitch mode is there for experiments: with it switched on, the effects pile up on "
    "one another, and Cancel no longer really cancels an effect. Use it at your own risk."
    "\r\r"
    "More effects are on their way, together with a script language in which you will be "
    "able to write your own glitch algorithms and share them with other users of Pixelmoth.";

const char* const kAboutNotice = "Pixelmoth version 0.9, made by the Pixelmoth developers";
