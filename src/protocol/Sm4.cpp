#include "protocol/Sm4.h"

#include <string.h>

/* SM4 block cipher: key schedules and the ECB and CBC modes. Kept in plain
   C style because the functions form an exported C interface. */

static const unsigned char SM4_SBOX[256] = {
    0xd6, 0x90, 0xe9, 0xfe, 0xcc, 0xe1, 0x3d, 0xb7, 0x16, 0xb6, 0x14, 0xc2, 0x28, 0xfb, 0x2c, 0x05,
    0x2b, 0x67, 0x9a, 0x76, 0x2a, 0xbe, 0x04, 0xc3, 0xaa, 0x44, 0x13, 0x26, 0x49, 0x86, 0x06, 0x99,
    0x9c, 0x42, 0x50, 0xf4, 0x91, 0xef, 0x98, 0x7a, 0x33, 0x54, 0x0b, 0x43, 0xed, 0xcf, 0xac, 0x62,
    0xe4, 0xb3, 0x1c, 0xa9, 0xc9, 0x08, 0xe8, 0x95, 0x80, 0xdf, 0x94, 0xfa, 0x75, 0x8f, 0x3f, 0xa6,
    0x47, 0x07, 0xa7, 0xfc, 0xf3, 0x73, 0x17, 0xba, 0x83, 0x59, 0x3c, 0x19, 0xe6, 0x85, 0x4f, 0xa8,
    0x68, 0x6b, 0x81, 0xb2, 0x71, 0x64, 0xda, 0x8b, 0xf8, 0xeb, 0x0f, 0x4b, 0x70, 0x56, 0x9d, 0x35,
    0x1e, 0x24, 0x0e, 0x5e, 0x63, 0x58, 0xd1, 0xa2, 0x25, 0x22, 0x7c, 0x3b, 0x01, 0x21, 0x78, 0x87,
    0xd4, 0x00, 0x46, 0x57, 0x9f, 0xd3, 0x27, 0x52, 0x4c, 0x36, 0x02, 0xe7, 0xa0, 0xc4, 0xc8, 0x9e,
    0xea, 0xbf, 0x8a, 0xd2, 0x40, 0xc7, 0x38, 0xb5, 0xa3, 0xf7, 0xf2, 0xce, 0xf9, 0x61, 0x15, 0xa1,
    0xe0, 0xae, 0x5d, 0xa4, 0x9b, 0x34, 0x1a, 0x55, 0xad, 0x93, 0x32, 0x30, 0xf5, 0x8c, 0xb1, 0xe3,
    0x1d, 0xf6, 0xe2, 0x2e, 0x82, 0x66, 0xca, 0x60, 0xc0, 0x29, 0x23, 0xab, 0x0d, 0x53, 0x4e, 0x6f,
    0xd5, 0xdb, 0x37, 0x45, 0xde, 0xfd, 0x8e, 0x2f, 0x03, 0xff, 0x6a, 0x72, 0x6d, 0x6c, 0x5b, 0x51,
    0x8d, 0x1b, 0xaf, 0x92, 0xbb, 0xdd, 0xbc, 0x7f, 0x11, 0xd9, 0x5c, 0x41, 0x1f, 0x10, 0x5a, 0xd8,
    0x0a, 0xc1, 0x31, 0x88, 0xa5, 0xcd, 0x7b, 0xbd, 0x2d, 0x74, 0xd0, 0x12, 0xb8, 0xe5, 0xb4, 0xb0,
    0x89, 0x69, 0x97, 0x4a, 0x0c, 0x96, 0x77, 0x7e, 0x65, 0xb9, 0xf1, 0x09, 0xc5, 0x6e, 0xc6, 0x84,
    0x18, 0xf0, 0x7d, 0xec, 0x3a, 0xdc, 0x4d, 0x20, 0x79, 0xee, 0x5f, 0x3e, 0xd7, 0xcb, 0x39, 0x48,
};

static const uint32_t SM4_FK[4] = {0xa3b1bac6, 0x56aa3350, 0x677d9197, 0xb27022dc};

#define SM4_BLOCK 16

static uint32_t load_be32(const unsigned char *p)
{
    return ((uint32_t)p[0] << 24) | ((uint32_t)p[1] << 16) | ((uint32_t)p[2] << 8) | (uint32_t)p[3];
}

static void store_be32(uint32_t v, unsigned char *p)
{
    p[0] = (unsigned char)(v >> 24);
    p[1] = (unsigned char)(v >> 16);
    p[2] = (unsigned char)(v >> 8);
    p[3] = (unsigned char)v;
}

static uint32_t rotl32(uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

/* CK_i: byte j of the word is (4i + j) * 7 mod 256. */
static uint32_t sm4_ck(int i)
{
    uint32_t ck = 0;
    for (int j = 0; j < 4; ++j)
        ck = (ck << 8) | (uint32_t)(((4 * i + j) * 7) & 0xff);
    return ck;
}

static uint32_t sm4_tau(uint32_t a)
{
    return ((uint32_t)SM4_SBOX[(a >> 24) & 0xff] << 24) | ((uint32_t)SM4_SBOX[(a >> 16) & 0xff] << 16) |
           ((uint32_t)SM4_SBOX[(a >> 8) & 0xff] << 8) | (uint32_t)SM4_SBOX[a & 0xff];
}

/* T: the round transform of the data path. */
static uint32_t sm4_t(uint32_t a)
{
    const uint32_t b = sm4_tau(a);
    return b ^ rotl32(b, 2) ^ rotl32(b, 10) ^ rotl32(b, 18) ^ rotl32(b, 24);
}

/* T': the transform of the key schedule. */
static uint32_t sm4_t_key(uint32_t a)
{
    const uint32_t b = sm4_tau(a);
    return b ^ rotl32(b, 13) ^ rotl32(b, 23);
}

static void sm4_expand_key(uint32_t sk[32], const unsigned char key[16])
{
    uint32_t k[4];
    for (int i = 0; i < 4; ++i)
        k[i] = load_be32(key + 4 * i) ^ SM4_FK[i];
    for (int i = 0; i < 32; ++i) {
        const uint32_t rk = k[0] ^ sm4_t_key(k[1] ^ k[2] ^ k[3] ^ sm4_ck(i));
        k[0] = k[1];
        k[1] = k[2];
        k[2] = k[3];
        k[3] = rk;
        sk[i] = rk;
    }
}

/* One block; input and output may overlap since the block is loaded first. */
static void sm4_one_block(const uint32_t sk[32], const unsigned char input[16], unsigned char output[16])
{
    uint32_t x[4];
    for (int i = 0; i < 4; ++i)
        x[i] = load_be32(input + 4 * i);
    for (int i = 0; i < 32; ++i) {
        const uint32_t next = x[0] ^ sm4_t(x[1] ^ x[2] ^ x[3] ^ sk[i]);
        x[0] = x[1];
        x[1] = x[2];
        x[2] = x[3];
        x[3] = next;
    }
    for (int i = 0; i < 4; ++i)
        store_be32(x[3 - i], output + 4 * i);
}

/* ceil(length / 16), written so that it cannot overflow near INT_MAX. */
static int sm4_block_count(int length)
{
    return length < 1 ? 0 : (length - 1) / SM4_BLOCK + 1;
}

static void xor_block(unsigned char *dst, const unsigned char *a, const unsigned char *b)
{
    for (int i = 0; i < SM4_BLOCK; ++i)
        dst[i] = (unsigned char)(a[i] ^ b[i]);
}

void sm4_setkey_enc(sm4_context *ctx, const unsigned char key[16])
{
    ctx->mode = SM4_ENCRYPT;
    sm4_expand_key(ctx->sk, key);
}

void sm4_setkey_dec(sm4_context *ctx, const unsigned char key[16])
{
    ctx->mode = SM4_ENCRYPT; /* the mode word reads 1 after either set-up */
    sm4_expand_key(ctx->sk, key);
    for (int i = 0; i < 16; ++i) {
        const uint32_t t = ctx->sk[i];
        ctx->sk[i] = ctx->sk[31 - i];
        ctx->sk[31 - i] = t;
    }
}

void sm4_crypt_ecb(sm4_context *ctx, int mode, int length, const unsigned char *input, unsigned char *output)
{
    (void)mode; /* the direction lies in the order of the round keys */
    const int blocks = sm4_block_count(length);
    for (int n = 0; n < blocks; ++n)
        sm4_one_block(ctx->sk, input + n * SM4_BLOCK, output + n * SM4_BLOCK);
}

void sm4_crypt_cbc(sm4_context *ctx, int mode, int length, unsigned char iv[16], const unsigned char *input,
                   unsigned char *output)
{
    const int blocks = sm4_block_count(length);
    unsigned char saved[SM4_BLOCK];
    for (int n = 0; n < blocks; ++n) {
        const unsigned char *in = input + n * SM4_BLOCK;
        unsigned char *out = output + n * SM4_BLOCK;
        if (mode == SM4_ENCRYPT) {
            xor_block(out, in, iv);
            sm4_one_block(ctx->sk, out, out);
            memcpy(iv, out, SM4_BLOCK);
        } else {
            /* keep the ciphertext block: decrypting in place overwrites it */
            memcpy(saved, in, SM4_BLOCK);
            sm4_one_block(ctx->sk, in, out);
            xor_block(out, out, iv);
            memcpy(iv, saved, SM4_BLOCK);
        }
    }
}
