// The stand-in's model descriptions: what a text gives, why a damaged one is refused, and the catalogue
// that finds a model by its file's name.
#include "sim/model_catalogue.h"

#include "sim/sample_responses.h"
#include "sim/text_file.h"

#include <gtest/gtest.h>

#include <optional>

TEST(ModelCatalogue, TheSampleModelGivesItsVariablesInOrderAndItsNamedGeometry)
{
    const std::optional<std::wstring> text = sim::ReadTextFile(sim::SampleModelsFolder() + L"Bolt_7798_M10x50.model");
    ASSERT_TRUE(text);
    const sim::ModelDescription model = sim::ParseModel(*text);
    EXPECT_EQ(model.file, L"Models\\Bolt_7798_M10x50.vlm");
    EXPECT_EQ(model.FileName(), L"Bolt_7798_M10x50.vlm");
    EXPECT_EQ(model.variables, (std::vector<std::pair<std::wstring, double>>{{L"d", 8}, {L"L", 40}, {L"P", 1.25}}));
    EXPECT_EQ(model.planes, std::vector<std::wstring>{L"Plane"});
    EXPECT_EQ(model.axes, std::vector<std::wstring>{L"Axis"});
    ASSERT_EQ(model.cylinders.size(), 1u);
    EXPECT_EQ(model.cylinders[0].radius, 5);
    EXPECT_EQ(model.material, L"Сталь 10");
    EXPECT_EQ(model.text, *text);
}

TEST(ModelCatalogue, ADamagedDescriptionSaysWhereAndWhy)
{
    struct Row {
        const wchar_t* text;
        const char* reason;
    };
    const Row rows[] = {
        {L"file a.vlm\nvariable d", "line 2: a variable needs a name and a number"},
        {L"file a.vlm\n# sizes\n\nvariable d 1x", "line 4: a variable needs a name and a number"},
        {L"file a.vlm\nvariable d 1\nvariable d 2", "line 3: the variable d is given twice"},
        {L"file a.vlm\ncylinder Shank 5", "line 2: a cylinder needs a name, a radius and a length"},
        {L"file a.vlm\nmass heavy", "line 2: mass needs a number"},
        {L"file a.vlm\ncone", "line 2: a cone needs the parameter of its conical face"},
        {L"file a.vlm\nplane", "line 2: a plane needs one name"},
        {L"file a.vlm\nsphere Ball", "line 2: \"sphere\" is no item of a model"},
        {L"file ..\\outside.vlm", "line 1: file needs a path below the models' folder"},
        {L"file C:\\models\\a.vlm", "line 1: file needs a path below the models' folder"},
        {L"variable d 1", "the model names no file"},
    };
    for (const Row& row : rows) {
        try {
            sim::ParseModel(row.text);
            ADD_FAILURE() << row.reason;
        } catch (const std::invalid_argument& error) {
            EXPECT_STREQ(error.what(), row.reason);
        }
    }
}

TEST(ModelCatalogue, AModelIsFoundByItsFilesNameAndALaterOneOfThatNameReplacesIt)
{
    sim::ModelCatalogue catalogue;
    catalogue.Add(sim::ParseModel(L"file Models\\Bolt.vlm\nvariable d 8"));
    catalogue.Add(sim::ParseModel(L"file Nut.vlm"));
    ASSERT_NE(catalogue.Find(L"C:\\parts\\models\\BOLT.VLM"), nullptr);
    EXPECT_EQ(catalogue.Find(L"C:\\parts\\models\\BOLT.VLM")->variables.size(), 1u);
    EXPECT_EQ(catalogue.Find(L"Bolt"), nullptr);
    catalogue.Add(sim::ParseModel(L"file Other\\bolt.vlm"));
    EXPECT_EQ(catalogue.Models().size(), 2u);
    EXPECT_TRUE(catalogue.Find(L"bolt.vlm")->variables.empty());
}
