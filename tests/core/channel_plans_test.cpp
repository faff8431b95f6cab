#include "core/channel_plans.h"

#include <gtest/gtest.h>

#include <span>

#include "core/channels.h"
#include "core/file.h"
#include "core/globals.h"
#include "support/globals_fixture.h"

namespace {

// Every row of the built-in plans, kept here row by row.
struct PlanRow {
    const char* name;
    float low, high, vision, sound;
    char polarization, signalType, modulation;
    const char* satellite;
};

// clang-format off
const PlanRow ItaliaRows[] = {
    {"A", 52.5f, 59.5f, 53.75f, 59.25f, 'o', 'a', 't', ""},
    {"B", 61, 68, 62.25f, 67.75f, 'o', 'a', 't', ""},
    {"C", 81, 88, 82.25f, 87.75f, 'o', 'a', 't', ""},
    {"FM", 88, 108, 98, 98, 'o', 'a', 'f', ""},
    {"D", 174, 181, 175.25f, 180.75f, 'o', 'a', 't', ""},
    {"E", 182.5f, 189.5f, 183.75f, 189.25f, 'o', 'a', 't', ""},
    {"F", 191, 198, 192.25f, 197.75f, 'o', 'a', 't', ""},
    {"G", 200, 207, 201.25f, 206.75f, 'o', 'a', 't', ""},
    {"H", 209, 216, 210.25f, 215.75f, 'o', 'a', 't', ""},
    {"H1", 216, 223, 217.5f, 222.75f, 'o', 'a', 't', ""},
    {"H2", 223, 230, 224.25f, 229.75f, 'o', 'a', 't', ""},
    {"S11", 230, 237, 231.25f, 236.75f, 'o', 'a', 't', ""},
    {"S12", 237, 244, 238.25f, 253.75f, 'o', 'a', 't', ""},
    {"S13", 244, 251, 245.25f, 250.75f, 'o', 'a', 't', ""},
    {"S14", 251, 258, 252.25f, 257.75f, 'o', 'a', 't', ""},
    {"S15", 258, 265, 259.25f, 264.75f, 'o', 'a', 't', ""},
    {"S16", 265, 272, 266.25f, 271.75f, 'o', 'a', 't', ""},
    {"S17", 272, 279, 273.25f, 278.75f, 'o', 'a', 't', ""},
    {"S18", 279, 286, 280.25f, 285.75f, 'o', 'a', 't', ""},
    {"S19", 286, 293, 287.25f, 292.75f, 'o', 'a', 't', ""},
    {"S20", 293, 300, 294.25f, 299.75f, 'o', 'a', 't', ""},
    {"S21", 302, 310, 303.25f, 308.75f, 'o', 'a', 't', ""},
    {"S22", 310, 318, 311.25f, 316.75f, 'o', 'a', 't', ""},
    {"S23", 318, 326, 319.25f, 324.75f, 'o', 'a', 't', ""},
    {"S24", 326, 334, 327.25f, 332.75f, 'o', 'a', 't', ""},
    {"S25", 334, 342, 335.25f, 340.75f, 'o', 'a', 't', ""},
    {"S26", 342, 350, 343.25f, 348.75f, 'o', 'a', 't', ""},
    {"S27", 350, 358, 351.25f, 356.75f, 'o', 'a', 't', ""},
    {"S28", 358, 366, 359.25f, 364.75f, 'o', 'a', 't', ""},
    {"S29", 366, 374, 367.25f, 372.75f, 'o', 'a', 't', ""},
    {"S30", 374, 382, 375.25f, 380.75f, 'o', 'a', 't', ""},
    {"S31", 382, 390, 383.25f, 388.75f, 'o', 'a', 't', ""},
    {"S32", 390, 398, 391.25f, 396.75f, 'o', 'a', 't', ""},
    {"S33", 398, 406, 399.25f, 404.75f, 'o', 'a', 't', ""},
    {"S34", 406, 414, 407.25f, 412.75f, 'o', 'a', 't', ""},
    {"S35", 414, 422, 415.25f, 420.75f, 'o', 'a', 't', ""},
    {"S36", 422, 430, 423.25f, 428.75f, 'o', 'a', 't', ""},
    {"S37", 430, 438, 431.25f, 436.75f, 'o', 'a', 't', ""},
    {"S38", 438, 446, 439.25f, 444.75f, 'o', 'a', 't', ""},
    {"S39", 446, 454, 447.25f, 452.75f, 'o', 'a', 't', ""},
    {"S40", 454, 462, 455.25f, 460.75f, 'o', 'a', 't', ""},
    {"S41", 462, 470, 463.25f, 468.75f, 'o', 'a', 't', ""},
    {"21", 470, 478, 471.25f, 476.75f, 'o', 'a', 't', ""},
    {"22", 478, 486, 479.25f, 484.75f, 'o', 'a', 't', ""},
    {"23", 486, 494, 487.25f, 492.75f, 'o', 'a', 't', ""},
    {"24", 494, 502, 495.25f, 500.75f, 'o', 'a', 't', ""},
    {"25", 502, 510, 503.25f, 508.75f, 'o', 'a', 't', ""},
    {"26", 510, 518, 511.25f, 516.75f, 'o', 'a', 't', ""},
    {"27", 518, 526, 519.25f, 524.75f, 'o', 'a', 't', ""},
    {"28", 526, 534, 527.25f, 532.75f, 'o', 'a', 't', ""},
    {"29", 534, 542, 535.25f, 540.75f, 'o', 'a', 't', ""},
    {"30", 542, 550, 543.25f, 548.75f, 'o', 'a', 't', ""},
    {"31", 550, 558, 551.25f, 556.75f, 'o', 'a', 't', ""},
    {"32", 558, 566, 559.25f, 564.75f, 'o', 'a', 't', ""},
    {"33", 566, 574, 567.25f, 572.75f, 'o', 'a', 't', ""},
    {"34", 574, 582, 575.25f, 580.75f, 'o', 'a', 't', ""},
    {"35", 582, 590, 583.25f, 588.75f, 'o', 'a', 't', ""},
    {"36", 590, 598, 591.25f, 596.75f, 'o', 'a', 't', ""},
    {"37", 598, 606, 599.25f, 604.75f, 'o', 'a', 't', ""},
    {"38", 606, 614, 607.25f, 612.75f, 'o', 'a', 't', ""},
    {"39", 614, 622, 615.25f, 620.75f, 'o', 'a', 't', ""},
    {"40", 622, 630, 623.25f, 628.75f, 'o', 'a', 't', ""},
    {"41", 630, 638, 631.25f, 636.75f, 'o', 'a', 't', ""},
    {"42", 638, 646, 639.25f, 644.75f, 'o', 'a', 't', ""},
    {"43", 646, 654, 647.25f, 652.75f, 'o', 'a', 't', ""},
    {"44", 654, 662, 655.25f, 660.75f, 'o', 'a', 't', ""},
    {"45", 662, 670, 663.25f, 668.75f, 'o', 'a', 't', ""},
    {"46", 670, 678, 671.25f, 676.75f, 'o', 'a', 't', ""},
    {"47", 678, 686, 679.25f, 684.75f, 'o', 'a', 't', ""},
    {"48", 686, 694, 687.25f, 692.75f, 'o', 'a', 't', ""},
    {"49", 694, 702, 695.25f, 700.75f, 'o', 'a', 't', ""},
    {"50", 702, 710, 703.25f, 708.75f, 'o', 'a', 't', ""},
    {"51", 710, 718, 711.25f, 716.75f, 'o', 'a', 't', ""},
    {"52", 718, 726, 719.25f, 724.75f, 'o', 'a', 't', ""},
    {"53", 726, 734, 727.25f, 732.75f, 'o', 'a', 't', ""},
    {"54", 734, 742, 735.25f, 740.75f, 'o', 'a', 't', ""},
    {"55", 742, 750, 743.25f, 748.75f, 'o', 'a', 't', ""},
    {"56", 750, 758, 751.25f, 756.75f, 'o', 'a', 't', ""},
    {"57", 758, 766, 759.25f, 764.75f, 'o', 'a', 't', ""},
    {"58", 766, 774, 767.25f, 772.75f, 'o', 'a', 't', ""},
    {"59", 774, 782, 775.25f, 780.75f, 'o', 'a', 't', ""},
    {"60", 782, 790, 783.25f, 788.75f, 'o', 'a', 't', ""},
    {"61", 790, 798, 791.25f, 796.75f, 'o', 'a', 't', ""},
    {"62", 798, 806, 799.25f, 804.75f, 'o', 'a', 't', ""},
    {"63", 806, 814, 807.25f, 812.75f, 'o', 'a', 't', ""},
    {"64", 814, 822, 815.25f, 820.75f, 'o', 'a', 't', ""},
    {"65", 822, 830, 823.25f, 828.75f, 'o', 'a', 't', ""},
    {"66", 830, 838, 831.25f, 836.75f, 'o', 'a', 't', ""},
    {"67", 838, 846, 839.25f, 844.75f, 'o', 'a', 't', ""},
    {"68", 846, 854, 847.25f, 852.75f, 'o', 'a', 't', ""},
    {"69", 854, 862, 855.25f, 860.75f, 'o', 'a', 't', ""},
};
// clang-format on
const PlanRow EuropaRows[] = {
    {"2", 47, 54, 48.25f, 53.75f, 'o', 'a', 't', ""},
    {"3", 54, 61, 55.25f, 60.75f, 'o', 'a', 't', ""},
    {"4", 61, 68, 62.25f, 67.75f, 'o', 'a', 't', ""},
    {"S3", 118, 125, 119.25f, 124.75f, 'o', 'a', 't', ""},
    {"S4", 125, 132, 126.25f, 131.75f, 'o', 'a', 't', ""},
    {"S5", 132, 139, 133.25f, 138.75f, 'o', 'a', 't', ""},
    {"S6", 139, 146, 140.25f, 145.75f, 'o', 'a', 't', ""},
    {"S7", 146, 153, 147.25f, 152.75f, 'o', 'a', 't', ""},
    {"S8", 153, 160, 154.25f, 159.75f, 'o', 'a', 't', ""},
    {"S9", 160, 167, 161.25f, 166.75f, 'o', 'a', 't', ""},
    {"S10", 167, 174, 168.25f, 173.75f, 'o', 'a', 't', ""},
    {"FM", 88, 108, 98, 98, 'o', 'a', 't', ""},
    {"5", 174, 181, 175.25f, 180.75f, 'o', 'a', 't', ""},
    {"6", 181, 188, 182.25f, 187.75f, 'o', 'a', 't', ""},
    {"7", 188, 195, 189.25f, 194.75f, 'o', 'a', 't', ""},
    {"8", 195, 202, 196.25f, 201.75f, 'o', 'a', 't', ""},
    {"9", 202, 209, 203.25f, 208.75f, 'o', 'a', 't', ""},
    {"10", 209, 216, 210.25f, 215.75f, 'o', 'a', 't', ""},
    {"11", 216, 223, 217.5f, 222.75f, 'o', 'a', 't', ""},
    {"12", 223, 230, 224.25f, 229.75f, 'o', 'a', 't', ""},
    {"S11", 230, 237, 231.25f, 236.75f, 'o', 'a', 't', ""},
    {"S12", 237, 244, 238.25f, 253.75f, 'o', 'a', 't', ""},
    {"S13", 244, 251, 245.25f, 250.75f, 'o', 'a', 't', ""},
    {"S14", 251, 258, 252.25f, 257.75f, 'o', 'a', 't', ""},
    {"S15", 258, 265, 259.25f, 264.75f, 'o', 'a', 't', ""},
    {"S16", 265, 272, 266.25f, 271.75f, 'o', 'a', 't', ""},
    {"S17", 272, 279, 273.25f, 278.75f, 'o', 'a', 't', ""},
    {"S18", 279, 286, 280.25f, 285.75f, 'o', 'a', 't', ""},
    {"S19", 286, 293, 287.25f, 292.75f, 'o', 'a', 't', ""},
    {"S20", 293, 300, 294.25f, 299.75f, 'o', 'a', 't', ""},
    {"S21", 302, 310, 303.25f, 308.75f, 'o', 'a', 't', ""},
    {"S22", 310, 318, 311.25f, 316.75f, 'o', 'a', 't', ""},
    {"S23", 318, 326, 319.25f, 324.75f, 'o', 'a', 't', ""},
    {"S24", 326, 334, 327.25f, 332.75f, 'o', 'a', 't', ""},
    {"S25", 334, 342, 335.25f, 340.75f, 'o', 'a', 't', ""},
    {"S26", 342, 350, 343.25f, 348.75f, 'o', 'a', 't', ""},
    {"S27", 350, 358, 351.25f, 356.75f, 'o', 'a', 't', ""},
    {"S28", 358, 366, 359.25f, 364.75f, 'o', 'a', 't', ""},
    {"S29", 366, 374, 367.25f, 372.75f, 'o', 'a', 't', ""},
    {"S30", 374, 382, 375.25f, 380.75f, 'o', 'a', 't', ""},
    {"S31", 382, 390, 383.25f, 388.75f, 'o', 'a', 't', ""},
    {"S32", 390, 398, 391.25f, 396.75f, 'o', 'a', 't', ""},
    {"S33", 398, 406, 399.25f, 404.75f, 'o', 'a', 't', ""},
    {"S34", 406, 414, 407.25f, 412.75f, 'o', 'a', 't', ""},
    {"S35", 414, 422, 415.25f, 420.75f, 'o', 'a', 't', ""},
    {"S36", 422, 430, 423.25f, 428.75f, 'o', 'a', 't', ""},
    {"S37", 430, 438, 431.25f, 436.75f, 'o', 'a', 't', ""},
    {"S38", 438, 446, 439.25f, 444.75f, 'o', 'a', 't', ""},
    {"S39", 446, 454, 447.25f, 452.75f, 'o', 'a', 't', ""},
    {"S40", 454, 462, 455.25f, 460.75f, 'o', 'a', 't', ""},
    {"S41", 462, 470, 463.25f, 468.75f, 'o', 'a', 't', ""},
    {"21", 470, 478, 471.25f, 476.75f, 'o', 'a', 't', ""},
    {"22", 478, 486, 479.25f, 484.75f, 'o', 'a', 't', ""},
    {"23", 486, 494, 487.25f, 492.75f, 'o', 'a', 't', ""},
    {"24", 494, 502, 495.25f, 500.75f, 'o', 'a', 't', ""},
    {"25", 502, 510, 503.25f, 508.75f, 'o', 'a', 't', ""},
    {"26", 510, 518, 511.25f, 516.75f, 'o', 'a', 't', ""},
    {"27", 518, 526, 519.25f, 524.75f, 'o', 'a', 't', ""},
    {"28", 526, 534, 527.25f, 532.75f, 'o', 'a', 't', ""},
    {"29", 534, 542, 535.25f, 540.75f, 'o', 'a', 't', ""},
    {"30", 542, 550, 543.25f, 548.75f, 'o', 'a', 't', ""},
    {"31", 550, 558, 551.25f, 556.75f, 'o', 'a', 't', ""},
    {"32", 558, 566, 559.25f, 564.75f, 'o', 'a', 't', ""},
    {"33", 566, 574, 567.25f, 572.75f, 'o', 'a', 't', ""},
    {"34", 574, 582, 575.25f, 580.75f, 'o', 'a', 't', ""},
    {"35", 582, 590, 583.25f, 588.75f, 'o', 'a', 't', ""},
    {"36", 590, 598, 591.25f, 596.75f, 'o', 'a', 't', ""},
    {"37", 598, 606, 599.25f, 604.75f, 'o', 'a', 't', ""},
    {"38", 606, 614, 607.25f, 612.75f, 'o', 'a', 't', ""},
    {"39", 614, 622, 615.25f, 620.75f, 'o', 'a', 't', ""},
    {"40", 622, 630, 623.25f, 628.75f, 'o', 'a', 't', ""},
    {"41", 630, 638, 631.25f, 636.75f, 'o', 'a', 't', ""},
    {"42", 638, 646, 639.25f, 644.75f, 'o', 'a', 't', ""},
    {"43", 646, 654, 647.25f, 652.75f, 'o', 'a', 't', ""},
    {"44", 654, 662, 655.25f, 660.75f, 'o', 'a', 't', ""},
    {"45", 662, 670, 663.25f, 668.75f, 'o', 'a', 't', ""},
    {"46", 670, 678, 671.25f, 676.75f, 'o', 'a', 't', ""},
    {"47", 678, 686, 679.25f, 684.75f, 'o', 'a', 't', ""},
    {"48", 686, 694, 687.25f, 692.75f, 'o', 'a', 't', ""},
    {"49", 694, 702, 695.25f, 700.75f, 'o', 'a', 't', ""},
    {"50", 702, 710, 703.25f, 708.75f, 'o', 'a', 't', ""},
    {"51", 710, 718, 711.25f, 716.75f, 'o', 'a', 't', ""},
    {"52", 718, 726, 719.25f, 724.75f, 'o', 'a', 't', ""},
    {"53", 726, 734, 727.25f, 732.75f, 'o', 'a', 't', ""},
    {"54", 734, 742, 735.25f, 740.75f, 'o', 'a', 't', ""},
    {"55", 742, 750, 743.25f, 748.75f, 'o', 'a', 't', ""},
    {"56", 750, 758, 751.25f, 756.75f, 'o', 'a', 't', ""},
    {"57", 758, 766, 759.25f, 764.75f, 'o', 'a', 't', ""},
    {"58", 766, 774, 767.25f, 772.75f, 'o', 'a', 't', ""},
    {"59", 774, 782, 775.25f, 780.75f, 'o', 'a', 't', ""},
    {"60", 782, 790, 783.25f, 788.75f, 'o', 'a', 't', ""},
    {"61", 790, 798, 791.25f, 796.75f, 'o', 'a', 't', ""},
    {"62", 798, 806, 799.25f, 804.75f, 'o', 'a', 't', ""},
    {"63", 806, 814, 807.25f, 812.75f, 'o', 'a', 't', ""},
    {"64", 814, 822, 815.25f, 820.75f, 'o', 'a', 't', ""},
    {"65", 822, 830, 823.25f, 828.75f, 'o', 'a', 't', ""},
    {"66", 830, 838, 831.25f, 836.75f, 'o', 'a', 't', ""},
    {"67", 838, 846, 839.25f, 844.75f, 'o', 'a', 't', ""},
    {"68", 846, 854, 847.25f, 852.75f, 'o', 'a', 't', ""},
    {"69", 854, 862, 855.25f, 860.75f, 'o', 'a', 't', ""},
};
// clang-format off
const PlanRow AustraliaRows[] = {
    {"0", 45, 52, 46.25f, 51.75f, 'o', 'a', 't', ""},
    {"1", 56, 63, 57.25f, 62.75f, 'o', 'a', 't', ""},
    {"2", 63, 70, 64.25f, 69.75f, 'o', 'a', 't', ""},
    {"FM", 88, 108, 98, 98, 'o', 'a', 't', ""},
    {"AS1", 108, 115, 109.25f, 114.75f, 'o', 'a', 't', ""},
    {"AS2", 115, 122, 116.25f, 121.75f, 'o', 'a', 't', ""},
    {"AS3", 122, 129, 123.25f, 128.75f, 'o', 'a', 't', ""},
    {"AS4", 129, 136, 130.25f, 135.75f, 'o', 'a', 't', ""},
    {"AS5", 136, 143, 137.25f, 142.75f, 'o', 'a', 't', ""},
    {"AS6", 143, 150, 144.25f, 149.75f, 'o', 'a', 't', ""},
    {"AS7", 150, 157, 151.25f, 156.75f, 'o', 'a', 't', ""},
    {"AS8", 157, 164, 158.25f, 163.75f, 'o', 'a', 't', ""},
    {"6", 174, 181, 175.25f, 180.75f, 'o', 'a', 't', ""},
    {"7", 181, 188, 182.25f, 187.75f, 'o', 'a', 't', ""},
    {"8", 188, 195, 189.25f, 194.75f, 'o', 'a', 't', ""},
    {"9", 195, 202, 196.25f, 201.75f, 'o', 'a', 't', ""},
    {"10", 208, 215, 209.25f, 214.75f, 'o', 'a', 't', ""},
    {"11", 215, 222, 216.25f, 221.75f, 'o', 'a', 't', ""},
    {"12", 223, 230, 224.25f, 229.75f, 'o', 'a', 't', ""},
    {"AS13", 230, 237, 231.25f, 236.75f, 'o', 'a', 't', ""},
    {"AS14", 237, 244, 238.25f, 253.75f, 'o', 'a', 't', ""},
    {"AS15", 244, 251, 245.25f, 250.75f, 'o', 'a', 't', ""},
    {"AS16", 251, 258, 252.25f, 257.75f, 'o', 'a', 't', ""},
    {"AS17", 258, 265, 259.25f, 264.75f, 'o', 'a', 't', ""},
    {"AS18", 265, 272, 266.25f, 271.75f, 'o', 'a', 't', ""},
    {"AS19", 272, 279, 273.25f, 278.75f, 'o', 'a', 't', ""},
    {"AS20", 279, 286, 280.25f, 285.75f, 'o', 'a', 't', ""},
    {"AS21", 286, 293, 287.25f, 292.75f, 'o', 'a', 't', ""},
    {"AS22", 293, 300, 294.25f, 299.75f, 'o', 'a', 't', ""},
    {"AS23", 300, 307, 301.25f, 306.75f, 'o', 'a', 't', ""},
    {"AS24", 307, 314, 308.25f, 313.75f, 'o', 'a', 't', ""},
    {"AS25", 314, 321, 315.25f, 320.75f, 'o', 'a', 't', ""},
    {"AS26", 321, 328, 322.25f, 327.75f, 'o', 'a', 't', ""},
    {"AS27", 328, 335, 329.25f, 334.75f, 'o', 'a', 't', ""},
    {"AS28", 335, 342, 336.25f, 341.75f, 'o', 'a', 't', ""},
    {"AS29", 342, 349, 343.25f, 348.75f, 'o', 'a', 't', ""},
    {"AS30", 349, 356, 350.25f, 355.75f, 'o', 'a', 't', ""},
    {"AS31", 356, 363, 357.25f, 362.75f, 'o', 'a', 't', ""},
    {"AS32", 363, 370, 364.25f, 369.75f, 'o', 'a', 't', ""},
    {"AS33", 370, 377, 371.25f, 376.75f, 'o', 'a', 't', ""},
    {"AS34", 377, 384, 378.25f, 383.75f, 'o', 'a', 't', ""},
    {"AS35", 384, 391, 385.25f, 390.75f, 'o', 'a', 't', ""},
    {"AS36", 391, 398, 392.25f, 397.75f, 'o', 'a', 't', ""},
    {"AS37", 398, 405, 399.25f, 404.75f, 'o', 'a', 't', ""},
    {"AS38", 405, 412, 406.25f, 411.75f, 'o', 'a', 't', ""},
    {"AS39", 412, 419, 413.25f, 418.75f, 'o', 'a', 't', ""},
    {"AS40", 419, 426, 420.25f, 425.75f, 'o', 'a', 't', ""},
    {"AS41", 426, 433, 427.25f, 432.75f, 'o', 'a', 't', ""},
    {"AS42", 433, 440, 434.25f, 439.75f, 'o', 'a', 't', ""},
    {"AS43", 440, 447, 441.25f, 446.75f, 'o', 'a', 't', ""},
    {"AS44", 447, 454, 448.25f, 453.75f, 'o', 'a', 't', ""},
    {"AS45", 454, 461, 455.25f, 460.75f, 'o', 'a', 't', ""},
    {"AS46", 461, 468, 462.25f, 467.75f, 'o', 'a', 't', ""},
    {"AS47", 468, 475, 469.25f, 474.75f, 'o', 'a', 't', ""},
    {"AS48", 475, 482, 476.25f, 481.75f, 'o', 'a', 't', ""},
    {"AS49", 482, 489, 483.25f, 488.75f, 'o', 'a', 't', ""},
    {"AS50", 489, 496, 490.25f, 495.75f, 'o', 'a', 't', ""},
    {"24", 498, 505, 499.25f, 504.75f, 'o', 'a', 't', ""},
    {"25", 505, 512, 506.25f, 511.75f, 'o', 'a', 't', ""},
    {"26", 512, 519, 513.25f, 518.75f, 'o', 'a', 't', ""},
    {"27", 519, 526, 520.25f, 525.75f, 'o', 'a', 't', ""},
    {"28", 526, 533, 527.25f, 532.75f, 'o', 'a', 't', ""},
    {"29", 533, 540, 534.25f, 539.75f, 'o', 'a', 't', ""},
    {"30", 540, 547, 541.25f, 546.75f, 'o', 'a', 't', ""},
    {"31", 547, 554, 548.25f, 553.75f, 'o', 'a', 't', ""},
    {"32", 554, 561, 555.25f, 560.75f, 'o', 'a', 't', ""},
    {"33", 561, 568, 562.25f, 567.75f, 'o', 'a', 't', ""},
    {"34", 568, 575, 569.25f, 574.75f, 'o', 'a', 't', ""},
    {"35", 575, 582, 576.25f, 581.75f, 'o', 'a', 't', ""},
    {"36", 582, 589, 583.25f, 588.75f, 'o', 'a', 't', ""},
    {"37", 589, 596, 590.25f, 595.75f, 'o', 'a', 't', ""},
    {"38", 596, 603, 597.25f, 602.75f, 'o', 'a', 't', ""},
    {"39", 603, 610, 604.25f, 609.75f, 'o', 'a', 't', ""},
    {"40", 610, 617, 611.25f, 616.75f, 'o', 'a', 't', ""},
    {"41", 617, 624, 618.25f, 623.75f, 'o', 'a', 't', ""},
    {"42", 624, 631, 625.25f, 630.75f, 'o', 'a', 't', ""},
    {"43", 631, 638, 632.25f, 637.75f, 'o', 'a', 't', ""},
    {"44", 638, 645, 639.25f, 644.75f, 'o', 'a', 't', ""},
    {"45", 645, 652, 646.25f, 651.75f, 'o', 'a', 't', ""},
    {"46", 652, 659, 653.25f, 658.75f, 'o', 'a', 't', ""},
    {"47", 659, 666, 660.25f, 665.75f, 'o', 'a', 't', ""},
    {"48", 666, 673, 667.25f, 672.75f, 'o', 'a', 't', ""},
    {"49", 673, 680, 674.25f, 679.75f, 'o', 'a', 't', ""},
    {"50", 680, 687, 681.25f, 686.75f, 'o', 'a', 't', ""},
    {"51", 687, 694, 688.25f, 693.75f, 'o', 'a', 't', ""},
    {"52", 694, 701, 695.25f, 700.75f, 'o', 'a', 't', ""},
    {"53", 701, 708, 702.25f, 707.75f, 'o', 'a', 't', ""},
    {"54", 708, 715, 709.25f, 714.75f, 'o', 'a', 't', ""},
    {"55", 715, 722, 716.25f, 721.75f, 'o', 'a', 't', ""},
    {"56", 722, 729, 723.25f, 728.75f, 'o', 'a', 't', ""},
    {"57", 729, 736, 730.25f, 735.75f, 'o', 'a', 't', ""},
    {"58", 736, 743, 737.25f, 742.75f, 'o', 'a', 't', ""},
    {"59", 743, 750, 744.25f, 749.75f, 'o', 'a', 't', ""},
    {"60", 750, 757, 751.25f, 756.75f, 'o', 'a', 't', ""},
    {"61", 757, 764, 758.25f, 763.75f, 'o', 'a', 't', ""},
    {"62", 764, 771, 765.25f, 770.75f, 'o', 'a', 't', ""},
    {"63", 771, 778, 772.25f, 777.75f, 'o', 'a', 't', ""},
    {"64", 778, 785, 779.25f, 784.75f, 'o', 'a', 't', ""},
    {"65", 785, 792, 786.25f, 791.75f, 'o', 'a', 't', ""},
    {"66", 792, 799, 793.25f, 798.75f, 'o', 'a', 't', ""},
    {"67", 799, 806, 800.25f, 805.75f, 'o', 'a', 't', ""},
    {"68", 806, 813, 807.25f, 812.75f, 'o', 'a', 't', ""},
    {"69", 813, 820, 814.25f, 819.75f, 'o', 'a', 't', ""},
    {"70", 820, 827, 821.25f, 826.75f, 'o', 'a', 't', ""},
    {"71", 827, 834, 828.25f, 833.75f, 'o', 'a', 't', ""},
    {"72", 834, 841, 835.25f, 840.75f, 'o', 'a', 't', ""},
    {"73", 841, 848, 842.25f, 847.75f, 'o', 'a', 't', ""},
    {"74", 848, 855, 849.25f, 854.75f, 'o', 'a', 't', ""},
    {"75", 855, 862, 856.25f, 861.75f, 'o', 'a', 't', ""},
};
// clang-format on
const PlanRow BandeSatRows[] = {
    {"Sat1", 950, 1150, 950, 950, 'v', 'd', 'f', ""},    {"Sat2", 1150, 1550, 1350, 1350, 'v', 'd', 'f', ""},
    {"Sat3", 1550, 1950, 1750, 1750, 'v', 'd', 'f', ""}, {"Sat4", 1950, 2275, 2150, 2150, 'v', 'd', 'f', ""},
    {"Sat5", 2275, 2400, 2400, 2400, 'v', 'd', 'f', ""},
};
// clang-format off
const PlanRow Eutelsat13ERows[] = {
    {"110", 10702, 10736, 10719.18f, 0, 'v', 'd', 'k', "Hot Bird 3"},
    {"111", 10703, 10751, 10727.13f, 0, 'o', 'd', 'k', "Hot Bird 4"},
    {"112", 10740, 10774, 10757.54f, 0, 'v', 'd', 'k', "Hot Bird 4"},
    {"113", 10757, 10793, 10775.08f, 0, 'o', 'd', 'k', "Hot Bird 4"},
    {"114", 10778, 10802, 10795.90f, 0, 'v', 'd', 'k', "Hot Bird 4"},
    {"115", 10797, 10833, 10815.08f, 0, 'o', 'd', 'k', "Hot Bird 4"},
    {"116", 10817, 10851, 10834.26f, 0, 'v', 'd', 'k', "Hot Bird 4"},
    {"117", 10835, 10871, 10853.44f, 0, 'o', 'd', 'k', "Hot Bird 4"},
    {"118", 10855, 10889, 10872.62f, 0, 'v', 'd', 'k', "Hot Bird 4"},
    {"119", 10873, 10909, 10891.80f, 0, 'o', 'd', 'k', "Hot Bird 4"},
    {"120", 10893, 10927, 10910.98f, 0, 'v', 'd', 'k', "Hot Bird 4"},
};
// clang-format on

struct PlanCase {
    const char* name;
    char id;
    uint8_t terrestrial, satellite;
    std::span<const PlanRow> rows;
};

// clang-format off
const PlanCase BuiltInPlans[] = {
    {"Italia", '2', 1, 0, ItaliaRows},
    {"Europa", '3', 1, 0, EuropaRows},
    {"Australia", '4', 1, 0, AustraliaRows},
    {"BandeSat", 'P', 0, 0, BandeSatRows},
    {"Eutelsat 13E", 'Q', 0, 1, Eutelsat13ERows},
};
// clang-format on

TEST(ChannelPlans, TheFiveBuiltInPlansHoldExactlyTheirRowsInOrder) {
    TCanalizzazioni plans;
    const TCanalizzazione* p = plans.head;
    for (const PlanCase& expected : BuiltInPlans) {
        SCOPED_TRACE(expected.name);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->name, expected.name);
        EXPECT_EQ(p->id, expected.id);
        EXPECT_EQ(p->terrestrial, expected.terrestrial);
        EXPECT_EQ(p->satellite, expected.satellite);
        ASSERT_EQ(p->Count(), static_cast<int32_t>(expected.rows.size()));
        EXPECT_EQ(p->capacity, p->Count());
        for (size_t i = 0; i < expected.rows.size(); ++i) {
            const PlanRow& e = expected.rows[i];
            const TDatiCanalizzazione& r = p->Row(static_cast<int>(i));
            SCOPED_TRACE(e.name);
            EXPECT_EQ(r.channelName, e.name);
            EXPECT_EQ(r.lowEdge, e.low);
            EXPECT_EQ(r.highEdge, e.high);
            EXPECT_EQ(r.visionCarrier, e.vision);
            EXPECT_EQ(r.soundCarrier, e.sound);
            EXPECT_EQ(r.polarization, e.polarization);
            EXPECT_EQ(r.signalType, e.signalType);
            EXPECT_EQ(r.modulation, e.modulation);
            EXPECT_EQ(r.satelliteName, e.satellite);
        }
        p = p->next;
    }
    EXPECT_EQ(p, nullptr);
}

TEST(ChannelPlans, FindByNameAndByIdCompareExactly) {
    TCanalizzazioni plans;
    EXPECT_EQ(plans.FindById('P'), plans.Find("BandeSat"));
    ASSERT_NE(plans.FindById('P'), nullptr);
    EXPECT_EQ(plans.FindById('P')->name, "BandeSat");
    EXPECT_EQ(plans.FindById('Q')->name, "Eutelsat 13E");
    EXPECT_EQ(plans.Find("europa"), nullptr);
    EXPECT_EQ(plans.Find("Europa "), nullptr);
    EXPECT_EQ(plans.FindById('5'), nullptr);
    EXPECT_EQ(plans.FindById(0), nullptr);
}

struct RangeCase {
    const char* plan;
    float f1, f2;
    const char* found;  // nullptr: none
};

TEST(ChannelPlans, IndexOfRangeFindsTheFirstStoredRowOverlappingTheOpenRange) {
    TCanalizzazioni plans;
    // clang-format off
    const RangeCase cases[] = {
        {"Italia", 470, 478, "21"},     // touching S41 at 470 is no overlap
        {"Italia", 468, 472, "S41"},    // both overlap: the first stored wins
        {"Italia", 108, 110, nullptr},  // FM ends at 108, band III starts at 174
        {"Australia", 108, 110, "AS1"},
        {"Europa", 480, 490, "22"},
        {"Europa", 100, 120, "S3"},     // FM (88-108) overlaps too, but S3 is stored before it
        {"Eutelsat 13E", 10735, 10737, "110"},
        {"BandeSat", 2400, 3000, nullptr},
    };
    // clang-format on
    for (const RangeCase& c : cases) {
        const TCanalizzazione* p = plans.Find(c.plan);
        ASSERT_NE(p, nullptr);
        const int i = p->IndexOfRange(c.f1, c.f2);
        SCOPED_TRACE(std::string(c.plan) + " " + std::to_string(c.f1) + "-" + std::to_string(c.f2));
        if (!c.found) {
            EXPECT_EQ(i, -1);
        } else {
            ASSERT_GE(i, 0);
            EXPECT_EQ(p->Row(i).channelName, c.found);
        }
    }
}

TEST(ChannelPlans, IndexOfRangeFromGoesOnAfterTheRowGiven) {
    TCanalizzazioni plans;
    const TCanalizzazione& europa = *plans.Find("Europa");
    const int first = europa.IndexOfRange(480, 490);
    ASSERT_GE(first, 0);
    const int second = europa.IndexOfRangeFrom(480, 490, first);
    ASSERT_GE(second, 0);
    EXPECT_EQ(europa.Row(second).channelName, "23");
    EXPECT_EQ(europa.IndexOfRangeFrom(480, 490, second), -1);
    EXPECT_EQ(europa.IndexOfRangeFrom(480, 490, europa.Count() - 1), -1);
    EXPECT_EQ(europa.IndexOfRangeFrom(480, 490, europa.Count() + 5), -1);
    EXPECT_EQ(europa.IndexOfRangeFrom(480, 490, -1), first);
}

TEST(ChannelPlans, IndexOfComparesNamesExactly) {
    TCanalizzazioni plans;
    const TCanalizzazione& italia = *plans.Find("Italia");
    EXPECT_EQ(italia.IndexOf("S12"), 12);
    EXPECT_EQ(italia.IndexOf("s12"), -1);
    EXPECT_EQ(italia.IndexOf("21"), 42);
    EXPECT_EQ(italia.IndexOf(""), -1);
    // Europa holds "S11" once and "11" once: the first row of that exact name.
    const TCanalizzazione& europa = *plans.Find("Europa");
    ASSERT_GE(europa.IndexOf("11"), 0);
    EXPECT_EQ(europa.Row(europa.IndexOf("11")).lowEdge, 216.0f);
}

TEST(ChannelPlans, AddRowBeyondTheCapacityChangesNothing) {
    TCanalizzazione plan("Prova", 2);
    plan.AddRow("1", 100, 107, 101.25f, 106.75f, 'a', 't', 'o', "");
    plan.AddRow("2", 107, 114, 108.25f, 113.75f, 'd', 'd', 'v', "Sat");
    plan.AddRow("3", 114, 121, 115.25f, 120.75f, 'a', 't', 'o', "");
    ASSERT_EQ(plan.Count(), 2);
    EXPECT_EQ(plan.Row(1).channelName, "2");
    EXPECT_EQ(plan.Row(1).satelliteName, "Sat");
    EXPECT_EQ(plan.IndexOf("3"), -1);

    TCanalizzazione empty("Vuota", 0);
    empty.AddRow("1", 100, 107, 0, 0, 'a', 't', 'o', "");
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_EQ(empty.IndexOfRange(0, 10000), -1);
}

TEST(ChannelPlans, APlanNameKeepsAtMostTwentyCharacters) {
    TCanalizzazione plan("Canalizzazione lunghissima", 1);
    EXPECT_EQ(plan.name, "Canalizzazione lungh");
}

TEST(ChannelPlans, SetChannelMakesTheChannelARowOfThePlanAndKeepsItsOwnData) {
    TCanalizzazioni plans;
    TCanalizzazione& eutelsat = *plans.Find("Eutelsat 13E");
    TCanale c;
    c.label = "RAI";
    c.levelMin = 71;
    c.levelMax = 72;
    c.band = 4;
    ASSERT_TRUE(eutelsat.SetChannel(c, 1));
    EXPECT_EQ(c.plan, &eutelsat);
    EXPECT_EQ(c.name, "111");
    EXPECT_EQ(c.signalType, 'd');
    EXPECT_EQ(c.polarization, 'o');
    EXPECT_EQ(c.modulation, 'k');
    EXPECT_EQ(c.freqLow, 10703.0f);
    EXPECT_EQ(c.freqHigh, 10751.0f);
    EXPECT_EQ(c.label, "RAI");
    EXPECT_EQ(c.levelMin, 71.0f);
    EXPECT_EQ(c.levelMax, 72.0f);
    EXPECT_EQ(c.band, 4);

    // A row that does not exist leaves the channel as it was.
    EXPECT_FALSE(eutelsat.SetChannel(c, 11));
    EXPECT_FALSE(eutelsat.SetChannel(c, -1));
    EXPECT_EQ(c.name, "111");
}

class PlanNames : public GlobalsTest {};

TEST_F(PlanNames, FillChannelPlanNamesListsThePlansOfTheKindsAsked) {
    struct Case {
        bool terrestrial, satellite;
        std::vector<std::string> names;
    };
    // clang-format off
    const Case cases[] = {
        {false, false, {}},
        {true, false, {"Italia", "Europa", "Australia"}},
        {false, true, {"Eutelsat 13E"}},
        {true, true, {"Italia", "Europa", "Australia", "Eutelsat 13E"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        TStringList list;
        list.Add("vecchia voce");
        FillChannelPlanNames(list, c.terrestrial, c.satellite);
        std::vector<std::string> got;
        for (int i = 0; i < list.Count(); ++i) got.push_back(list[i]);
        EXPECT_EQ(got, c.names) << c.terrestrial << c.satellite;
    }
}

// Plan references of the channel and cell records.
class PlanReference : public GlobalsTest {
protected:
    TCanalizzazione* ReadBack(const std::string& bytes, int64_t* position = nullptr) {
        TMemoryStream s(bytes);
        TCanalizzazione* p = ReadPlanReference(s);
        if (position) *position = s.Position();
        return p;
    }
    std::string Written(const TCanalizzazione* plan) {
        TMemoryStream s;
        WritePlanReference(s, plan);
        return s.Bytes();
    }
};

TEST_F(PlanReference, ABuiltInPlanStandsAsItsIdByteAndNoPlanAsAnEmptyName) {
    for (const TCanalizzazione* p = Canalizzazioni->head; p; p = p->next) {
        const std::string bytes = Written(p);
        EXPECT_EQ(bytes, std::string(1, p->id)) << p->name;
        int64_t position = 0;
        EXPECT_EQ(ReadBack(bytes, &position), p);
        EXPECT_EQ(position, 1);
    }
    EXPECT_EQ(Written(nullptr), std::string(1, '\0'));
    EXPECT_EQ(ReadBack(std::string(1, '\0')), nullptr);
}

TEST_F(PlanReference, APlanWithoutIdStandsAsItsName) {
    TCanalizzazione* europa = Canalizzazioni->Find("Europa");
    europa->id = 0;
    EXPECT_EQ(Written(europa), std::string("\x06"
                                           "Europa"));
    int64_t position = 0;
    EXPECT_EQ(ReadBack("\x06"
                       "Europa"
                       "X",
                       &position),
              europa);
    EXPECT_EQ(position, 7);
}

TEST_F(PlanReference, AnIdTooSmallToTellFromANameIsWrittenAsTheName) {
    TCanalizzazione* italia = Canalizzazioni->Find("Italia");
    italia->id = '1';  // 49: would read back as the length of a text
    EXPECT_EQ(Written(italia), std::string("\x06"
                                           "Italia"));
    EXPECT_EQ(ReadBack(Written(italia)), italia);
}

TEST_F(PlanReference, AReferenceToNoKnownPlanGivesNoPlan) {
    EXPECT_EQ(ReadBack("Z"), nullptr);
    EXPECT_EQ(ReadBack("\x07"
                       "Francia"),
              nullptr);
    EXPECT_EQ(ReadBack("\x06"
                       "europa"),
              nullptr);
}

TEST_F(PlanReference, AReferenceCutShortRaisesAReadError) {
    EXPECT_THROW(ReadBack(""), EReadError);
    EXPECT_THROW(ReadBack("\x06"
                          "Eur"),
                 EReadError);
}

}  // namespace
