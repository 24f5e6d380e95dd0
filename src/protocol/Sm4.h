#pragma once

// SM4 block cipher (GB/T 32907-2016): 128-bit blocks and keys, 32 rounds.
// A small C library inside the program; the executable exports these four
// functions by name, so their signatures and the context layout are fixed.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define TARVINE_SM4_API __declspec(dllexport)
#else
#define TARVINE_SM4_API __attribute__((visibility("default")))
#endif

#define SM4_ENCRYPT 1
#define SM4_DECRYPT 0

typedef struct
{
    int32_t mode;    /* 1 after either key set-up; not consulted by the crypt calls */
    uint32_t sk[32]; /* round keys rk0..rk31 (reversed for decryption) */
} sm4_context;

TARVINE_SM4_API void sm4_setkey_enc(sm4_context *ctx, const unsigned char key[16]);
TARVINE_SM4_API void sm4_setkey_dec(sm4_context *ctx, const unsigned char key[16]);
/* Processes ceil(length / 16) whole blocks; length < 1 does nothing.
   The caller's buffers must be rounded up to a multiple of 16 bytes. */
TARVINE_SM4_API void sm4_crypt_ecb(sm4_context *ctx, int mode, int length, const unsigned char *input,
                                   unsigned char *output);
/* mode 1 encrypts, anything else decrypts; iv is updated to the last
   chaining value. Input and output may be the same buffer. */
TARVINE_SM4_API void sm4_crypt_cbc(sm4_context *ctx, int mode, int length, unsigned char iv[16],
                                   const unsigned char *input, unsigned char *output);

#ifdef __cplusplus
}
#endif
