// Three customers to print: a home address with a suffix, an office address
// only, and a name with half-width katakana in the address.
#pragma once

#include <memory>
#include <vector>

#include "customers/Kokyaku.h"

inline std::vector<std::unique_ptr<CKokyaku>> FixtureCustomers() {
    std::vector<std::unique_ptr<CKokyaku>> out;
    auto add = [&](auto fill) {
        auto k = std::make_unique<CKokyaku>();
        k->ID = static_cast<int32_t>(out.size() + 1);
        fill(*k);
        out.push_back(std::move(k));
    };
    add([](CKokyaku& k) {
        k.CustomerID = "A001";
        k.Name = "山田太郎";
        k.Suffix = "様";
        k.Zip_Home = "123-4567";
        k.Add1_Home = "東京都千代田区";
        k.Add2_Home = "丸の内1-2-3";
        k.Add3_Home = "ﾐﾙﾊﾞﾝﾋﾞﾙ4階";
    });
    add([](CKokyaku& k) {
        k.CustomerID = "A002";
        k.Name = "佐藤花子";
        k.Suffix = "様";
        k.CompName = "株式会社サンプル";
        k.Zip_Office = "5300001";
        k.Add1_Office = "大阪府大阪市北区";
        k.Add2_Office = "梅田2-4-9";
    });
    add([](CKokyaku& k) {
        k.CustomerID = "A003";
        k.Name = "鈴木一郎";
        k.Suffix = "殿";
        k.Zip_Home = "060-0042";
        k.Add1_Home = "北海道札幌市中央区";
        k.Add2_Home = "大通西10-1";
    });
    return out;
}

inline std::vector<const CKokyaku*> Pointers(const std::vector<std::unique_ptr<CKokyaku>>& list) {
    std::vector<const CKokyaku*> out;
    for (const auto& k : list) out.push_back(k.get());
    return out;
}
