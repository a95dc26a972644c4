// The four letter pictures in order, so that the demo can loop over them; the
// pictures themselves are demo/assets/letter1.pgm .. letter4.pgm, built in.
#include "demo/pictures.h"

const unsigned char *const demo_letter_pnm[4] = {demo_letter1_pnm, demo_letter2_pnm,
                                                 demo_letter3_pnm, demo_letter4_pnm};
const size_t *const demo_letter_pnm_size[4] = {&demo_letter1_pnm_size, &demo_letter2_pnm_size,
                                               &demo_letter3_pnm_size, &demo_letter4_pnm_size};
