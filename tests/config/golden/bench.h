/*
 * VRX630 configuration from bench.toml
 * SHA-256 of the file: d7406858cdac6bed7b05fe22aa241ac2941f0c3f8e218f722c9850c092984b7a
 * Exported by the VRX630 evaluation kit program @VERSION@; steps/s at a 16 MHz clock.
 *
 * 93 words, each one SPI telegram of 32 bits: send it most significant byte first,
 * with the chip select low for that word alone. In this order they take a chip from
 * reset to the configuration: the global registers, then motors 1 to 3, each register
 * whole (fields the source leaves out at their reset value 0), then the RAM as 64
 * words (byte 2k in bits 7..0, byte 2k+1 in bits 15..8).
 */
#ifndef vrx630_config_H
#define vrx630_config_H

#include <stdint.h>

#define vrx630_config_WORDS 93

static const uint32_t vrx630_config[vrx630_config_WORDS] = {
    0x64001018u, /* global register 2: SPI_COVER_POS 16, SPI_COVER_LEN 24 */
    0x7E010F02u, /* global register 15: M1R_REF 0, REFMUX 0, SPI_CONTINUOUS_UPD 1, SPI_CLK_DIV 15, CSCOMIND 0, PODAC 0, POFD 0, POPH 0, SPI_CLK 0, SPI_CS 0, LSMD 2 */
    0x04000001u, /* motor 1 register 2: V_MIN 1 = 1.907 steps/s */
    0x060003E8u, /* motor 1 register 3: V_MAX 1000 = 1,907 steps/s */
    0x0C000064u, /* motor 1 register 6: A_MAX 100 = 2,910 steps/s^2 */
    0x10732032u, /* motor 1 register 8: I_S_AGTAT 7, I_S_ALEAT 3, I_S_V0 2, A_THRESHOLD 50 */
    0x1200BE05u, /* motor 1 register 9: P_MUL 190, P_DIV 5 */
    0x14000300u, /* motor 1 register 10: REF_CONF 0b0011, RAMP_MODE 0 */
    0x16000100u, /* motor 1 register 11: INTERRUPT_MASK 0b00000001, INTERRUPT_FLAGS 0 */
    0x18007706u, /* motor 1 register 12: PULSDIV 7, RAMPDIV 7, USTEP_RES 6 */
    0x1A00000Au, /* motor 1 register 13: DX_REF_TOLERANCE 10 */
    0x24000005u, /* motor 2 register 2: V_MIN 5 = 38.15 steps/s */
    0x260007FFu, /* motor 2 register 3: V_MAX 2047 = 15,617 steps/s */
    0x2C0001F4u, /* motor 2 register 6: A_MAX 500 = 14,552 steps/s^2 */
    0x30642064u, /* motor 2 register 8: I_S_AGTAT 6, I_S_ALEAT 4, I_S_V0 2, A_THRESHOLD 100 */
    0x3200ED07u, /* motor 2 register 9: P_MUL 237, P_DIV 7 */
    0x34000100u, /* motor 2 register 10: REF_CONF 0b0001, RAMP_MODE 0 */
    0x36000300u, /* motor 2 register 11: INTERRUPT_MASK 0b00000011, INTERRUPT_FLAGS 0 */
    0x38005904u, /* motor 2 register 12: PULSDIV 5, RAMPDIV 9, USTEP_RES 4 */
    0x3A000014u, /* motor 2 register 13: DX_REF_TOLERANCE 20 */
    0x44000002u, /* motor 3 register 2: V_MIN 2 = 61.04 steps/s */
    0x46000190u, /* motor 3 register 3: V_MAX 400 = 12,207 steps/s */
    0x4C0000FAu, /* motor 3 register 6: A_MAX 250 = 58,208 steps/s^2 */
    0x50521014u, /* motor 3 register 8: I_S_AGTAT 5, I_S_ALEAT 2, I_S_V0 1, A_THRESHOLD 20 */
    0x5200ED09u, /* motor 3 register 9: P_MUL 237, P_DIV 9 */
    0x54000400u, /* motor 3 register 10: REF_CONF 0b0100, RAMP_MODE 0 */
    0x56000400u, /* motor 3 register 11: INTERRUPT_MASK 0b00000100, INTERRUPT_FLAGS 0 */
    0x58003805u, /* motor 3 register 12: PULSDIV 3, RAMPDIV 8, USTEP_RES 5 */
    0x5A000005u, /* motor 3 register 13: DX_REF_TOLERANCE 5 */
    0x80001310u, /* RAM word 0: byte 0x00 = 0x10, byte 0x01 = 0x13 */
    0x82001916u, /* RAM word 1: byte 0x02 = 0x16, byte 0x03 = 0x19 */
    0x84001F1Cu, /* RAM word 2: byte 0x04 = 0x1C, byte 0x05 = 0x1F */
    0x86002522u, /* RAM word 3: byte 0x06 = 0x22, byte 0x07 = 0x25 */
    0x88002B28u, /* RAM word 4: byte 0x08 = 0x28, byte 0x09 = 0x2B */
    0x8A00312Eu, /* RAM word 5: byte 0x0A = 0x2E, byte 0x0B = 0x31 */
    0x8C003734u, /* RAM word 6: byte 0x0C = 0x34, byte 0x0D = 0x37 */
    0x8E003D3Au, /* RAM word 7: byte 0x0E = 0x3A, byte 0x0F = 0x3D */
    0x90004340u, /* RAM word 8: byte 0x10 = 0x40, byte 0x11 = 0x43 */
    0x92004946u, /* RAM word 9: byte 0x12 = 0x46, byte 0x13 = 0x49 */
    0x94004F4Cu, /* RAM word 10: byte 0x14 = 0x4C, byte 0x15 = 0x4F */
    0x96005552u, /* RAM word 11: byte 0x16 = 0x52, byte 0x17 = 0x55 */
    0x98005B58u, /* RAM word 12: byte 0x18 = 0x58, byte 0x19 = 0x5B */
    0x9A00615Eu, /* RAM word 13: byte 0x1A = 0x5E, byte 0x1B = 0x61 */
    0x9C006764u, /* RAM word 14: byte 0x1C = 0x64, byte 0x1D = 0x67 */
    0x9E006D6Au, /* RAM word 15: byte 0x1E = 0x6A, byte 0x1F = 0x6D */
    0xA0007370u, /* RAM word 16: byte 0x20 = 0x70, byte 0x21 = 0x73 */
    0xA2007976u, /* RAM word 17: byte 0x22 = 0x76, byte 0x23 = 0x79 */
    0xA4007F7Cu, /* RAM word 18: byte 0x24 = 0x7C, byte 0x25 = 0x7F */
    0xA6008582u, /* RAM word 19: byte 0x26 = 0x82, byte 0x27 = 0x85 */
    0xA8008B88u, /* RAM word 20: byte 0x28 = 0x88, byte 0x29 = 0x8B */
    0xAA00918Eu, /* RAM word 21: byte 0x2A = 0x8E, byte 0x2B = 0x91 */
    0xAC009794u, /* RAM word 22: byte 0x2C = 0x94, byte 0x2D = 0x97 */
    0xAE009D9Au, /* RAM word 23: byte 0x2E = 0x9A, byte 0x2F = 0x9D */
    0xB000A3A0u, /* RAM word 24: byte 0x30 = 0xA0, byte 0x31 = 0xA3 */
    0xB200A9A6u, /* RAM word 25: byte 0x32 = 0xA6, byte 0x33 = 0xA9 */
    0xB400AFACu, /* RAM word 26: byte 0x34 = 0xAC, byte 0x35 = 0xAF */
    0xB600B5B2u, /* RAM word 27: byte 0x36 = 0xB2, byte 0x37 = 0xB5 */
    0xB800BBB8u, /* RAM word 28: byte 0x38 = 0xB8, byte 0x39 = 0xBB */
    0xBA00C1BEu, /* RAM word 29: byte 0x3A = 0xBE, byte 0x3B = 0xC1 */
    0xBC00C7C4u, /* RAM word 30: byte 0x3C = 0xC4, byte 0x3D = 0xC7 */
    0xBE00CDCAu, /* RAM word 31: byte 0x3E = 0xCA, byte 0x3F = 0xCD */
    0xC0000200u, /* RAM word 32: byte 0x40 = 0x00, byte 0x41 = 0x02 */
    0xC2000503u, /* RAM word 33: byte 0x42 = 0x03, byte 0x43 = 0x05 */
    0xC4000806u, /* RAM word 34: byte 0x44 = 0x06, byte 0x45 = 0x08 */
    0xC6000B09u, /* RAM word 35: byte 0x46 = 0x09, byte 0x47 = 0x0B */
    0xC8000E0Cu, /* RAM word 36: byte 0x48 = 0x0C, byte 0x49 = 0x0E */
    0xCA00110Fu, /* RAM word 37: byte 0x4A = 0x0F, byte 0x4B = 0x11 */
    0xCC001412u, /* RAM word 38: byte 0x4C = 0x12, byte 0x4D = 0x14 */
    0xCE001715u, /* RAM word 39: byte 0x4E = 0x15, byte 0x4F = 0x17 */
    0xD0001A18u, /* RAM word 40: byte 0x50 = 0x18, byte 0x51 = 0x1A */
    0xD2001C1Bu, /* RAM word 41: byte 0x52 = 0x1B, byte 0x53 = 0x1C */
    0xD4001F1Eu, /* RAM word 42: byte 0x54 = 0x1E, byte 0x55 = 0x1F */
    0xD6002220u, /* RAM word 43: byte 0x56 = 0x20, byte 0x57 = 0x22 */
    0xD8002423u, /* RAM word 44: byte 0x58 = 0x23, byte 0x59 = 0x24 */
    0xDA002726u, /* RAM word 45: byte 0x5A = 0x26, byte 0x5B = 0x27 */
    0xDC002928u, /* RAM word 46: byte 0x5C = 0x28, byte 0x5D = 0x29 */
    0xDE002B2Au, /* RAM word 47: byte 0x5E = 0x2A, byte 0x5F = 0x2B */
    0xE0002E2Du, /* RAM word 48: byte 0x60 = 0x2D, byte 0x61 = 0x2E */
    0xE200302Fu, /* RAM word 49: byte 0x62 = 0x2F, byte 0x63 = 0x30 */
    0xE4003231u, /* RAM word 50: byte 0x64 = 0x31, byte 0x65 = 0x32 */
    0xE6003433u, /* RAM word 51: byte 0x66 = 0x33, byte 0x67 = 0x34 */
    0xE8003534u, /* RAM word 52: byte 0x68 = 0x34, byte 0x69 = 0x35 */
    0xEA003736u, /* RAM word 53: byte 0x6A = 0x36, byte 0x6B = 0x37 */
    0xEC003838u, /* RAM word 54: byte 0x6C = 0x38, byte 0x6D = 0x38 */
    0xEE003A39u, /* RAM word 55: byte 0x6E = 0x39, byte 0x6F = 0x3A */
    0xF0003B3Au, /* RAM word 56: byte 0x70 = 0x3A, byte 0x71 = 0x3B */
    0xF2003C3Bu, /* RAM word 57: byte 0x72 = 0x3B, byte 0x73 = 0x3C */
    0xF4003D3Cu, /* RAM word 58: byte 0x74 = 0x3C, byte 0x75 = 0x3D */
    0xF6003D3Du, /* RAM word 59: byte 0x76 = 0x3D, byte 0x77 = 0x3D */
    0xF8003E3Eu, /* RAM word 60: byte 0x78 = 0x3E, byte 0x79 = 0x3E */
    0xFA003F3Eu, /* RAM word 61: byte 0x7A = 0x3E, byte 0x7B = 0x3F */
    0xFC003F3Fu, /* RAM word 62: byte 0x7C = 0x3F, byte 0x7D = 0x3F */
    0xFE003F3Fu, /* RAM word 63: byte 0x7E = 0x3F, byte 0x7F = 0x3F */
};

#endif
