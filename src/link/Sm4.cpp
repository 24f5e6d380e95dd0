#include "link/Sm4.h"

// Placeholder until the cipher lands.
extern "C" {
void sm4_setkey_enc(sm4_context *ctx, const unsigned char *) { ctx->mode = 1; }
void sm4_setkey_dec(sm4_context *ctx, const unsigned char *) { ctx->mode = 1; }
void sm4_crypt_ecb(sm4_context *, int, int, const unsigned char *, unsigned char *) {}
void sm4_crypt_cbc(sm4_context *, int, int, unsigned char *, const unsigned char *, unsigned char *) {}
}
