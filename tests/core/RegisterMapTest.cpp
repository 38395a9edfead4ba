#include "GyroState.h"
#include "TestPlatform.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace gyro;

TEST(RegisterMap, DefinesTwentyFiveEntriesAndLeavesTheRestEmpty)
{
    test::CoreFixture f;
    EXPECT_EQ(f.g.LastRegisterIndex, 24);
    for (int i = 25; i < RegisterSlotCount; ++i) {
        const RegisterEntry& e = f.g.Reg[i];
        EXPECT_TRUE(e.RegName.isEmpty()) << i;
        EXPECT_EQ(e.RegAddress, 0) << i;
        EXPECT_EQ(e.RegBitWidth, 0) << i;
        EXPECT_FALSE(e.RegReadable || e.RegWritable || e.RegHasNewData || e.RegHasError) << i;
    }
    EXPECT_EQ(f.g.Reg.size(), 297u); // slot 296 exists
}

TEST(RegisterMap, NamesAreUniqueAndAddressesFitTheFrame)
{
    test::CoreFixture f;
    QSet<QString> names;
    for (int i = 0; i <= f.g.LastRegisterIndex; ++i) {
        const RegisterEntry& e = f.g.Reg[i];
        EXPECT_FALSE(names.contains(e.RegName)) << e.RegName.toStdString();
        names.insert(e.RegName);
        EXPECT_EQ(e.RegAddress % 2, 0) << "low byte lives at an even address";
        EXPECT_LE(e.RegAddress + 1, 0x7F) << "the high byte's address fits 7 bits";
        EXPECT_GE(e.RegBitWidth, 1);
        EXPECT_LE(e.RegBitWidth, 16);
        EXPECT_TRUE(e.RegByteCount == 1 || e.RegByteCount == 2);
        EXPECT_EQ(FindRegisterIndex(f.g.Reg, f.g.LastRegisterIndex, e.RegName), i);
    }
    EXPECT_EQ(FindRegisterIndex(f.g.Reg, f.g.LastRegisterIndex, QStringLiteral("gyro_out")), -1);
}

TEST(RegisterMap, OutputRegistersCarryFlagsAndUnits)
{
    test::CoreFixture f;
    const auto& gyro = f.g.Reg[Idx_Gyro_Out];
    EXPECT_EQ(gyro.RegName, "Gyro_Out");
    EXPECT_EQ(gyro.RegAddress, 0x04);
    EXPECT_EQ(gyro.RegBitWidth, 14);
    EXPECT_TRUE(gyro.RegSigned && gyro.RegHasNewData && gyro.RegHasError);
    EXPECT_FLOAT_EQ(gyro.RegScale, 0.07326f);
    EXPECT_FLOAT_EQ(f.g.Reg[Idx_Temp_Out].RegOffset, 25.0f);
    // Four entries share 0x44 and differ in width and sign.
    for (auto idx : {Idx_X_V_OFF, Idx_X_V_SCL, Idx_V_NOM, Idx_T_NOM})
        EXPECT_EQ(f.g.Reg[idx].RegAddress, 0x44);
    EXPECT_FALSE(f.g.Reg[Idx_Command].RegReadable);
    EXPECT_TRUE(f.g.Reg[Idx_Command].RegWritable);
    EXPECT_FALSE(f.g.Reg[Idx_Status].RegWritable);
    EXPECT_EQ(f.g.Reg[Idx_Smpl_Prd].RegByteCount, 1);
}
