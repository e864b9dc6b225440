/* Prints a few song numbers as the game sees them. */
#include <stdio.h>

#include "mus_def.h"

int main(void) {
    printf("sound bank %d\n", SOUND_BANK_VERSION);
    printf("title %d\n", MUS_TITLE);
    printf("field day %d\n", MUS_FIELD_DAY);
    printf("field night %d\n", MUS_FIELD_NIGHT);
    printf("cursor %d\n", SE_CURSOR);
    printf("decide %d\n", SE_DECIDE);
    return 0;
}
