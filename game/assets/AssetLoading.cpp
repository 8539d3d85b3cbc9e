// The loading of the image table and the images derived from it, and the finishing
// touches of the loaded fonts.
#include "framework/app/ZantApp.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "game/assets/GameAssets.h"

namespace Zant {

void GameAssets::RimWordFonts()
{
    // Creature words lie on bodies of every colour: a white rim round the dark
    // untyped letters, a black one round the bright typed ones.
    if (auto* word = dynamic_cast<ImageFont*>(mFontMyriad15))
        word->AddTag("LightRim");
    if (auto* typed = dynamic_cast<ImageFont*>(mFontMyriad15b))
        typed->AddTag("DarkRim");
}

void GameAssets::StartImageDecoding()
{
    std::vector<std::string> paths;
    for (int i = 0; i < NUM_LOADED_IMAGES; ++i)
        paths.push_back(std::string("images\\") + IMAGE_NAMES[i]);
    mImageDecoding.Start(std::move(paths), mApp->mShutdown);
}

bool GameAssets::LoadImageOrDie()
{
    if (!mImageDecoding.IsStarted())
        StartImageDecoding();
    // Each image is counted here, in table order, as it becomes ready.
    const bool loaded = mImageDecoding.Receive([this](size_t i, std::unique_ptr<DDImage> image) {
        image->JoinSets(mApp->mDDInterface, mApp);
        SetImage(int(i), image.release());
        ++mApp->mCompletedLoadingThreadTasks;
        return true;
    });
    if (!loaded && !mImageDecoding.GetMissingPath().empty()) {
        mApp->ShowMessage("The file: " + mImageDecoding.GetMissingPath() +
                          ", is missing or corrupt. Please reinstall the product or email tech support at " +
                          SUPPORT_ADDRESS);
        return false;
    }
    return true;
}

Image* GameAssets::KeepDerived(Image* image)
{
    if (auto* memory = dynamic_cast<MemoryImage*>(image))
        memory->Palletize();
    if (image != nullptr)
        mDerivedImages.push_back(image);
    return image;
}

Image* GameAssets::MirroredCopy(Image* source)
{
    if (source == nullptr)
        return nullptr;
    Image* copy = mApp->DuplicateImage(source);
    mApp->MirrorImageHorizontally(copy);
    return KeepDerived(copy);
}

Image* GameAssets::TintedCopy(Image* source, const Color& color)
{
    if (source == nullptr)
        return nullptr;
    return KeepDerived(mApp->TransformImagePixels(source, color));
}

Image* GameAssets::DarkenedMirror(int index)
{
    Image* source = GetImage(index);
    if (source == nullptr)
        return nullptr;
    Image* copy = mApp->TransformImagePixels(source, Color(200, 200, 200));
    mApp->MirrorImageHorizontally(copy);
    return KeepDerived(copy);
}

void GameAssets::BuildDerivedImages()
{
    static const Color FISH_TINTS[NUM_FISH_TINTS] = {Color(50, 50, 255), Color(130, 130, 200), Color(185, 185, 155)};
    static const Color SEE_THROUGH(255, 255, 255, 128);
    static const Color RED(200, 0, 0);

    for (int fish : {IMAGE_SMALLCARN, IMAGE_SMALLGOLDFISH})
        for (const Color& tint : FISH_TINTS)
            mFishImages.push_back(TintedCopy(GetImage(fish), tint));

    mRotorTorpedoMirror = DarkenedMirror(IMAGE_ROTOR_TORPEDO);
    mCannonballMirror = DarkenedMirror(IMAGE_CANNONBALL);
    mTorpedoSwimMirror = DarkenedMirror(IMAGE_TORPEDO_SWIM);
    mToxicSwimMirror = DarkenedMirror(IMAGE_TOXIC_BASIC_SWIM);
    mToxicGlowMirror = DarkenedMirror(IMAGE_TOXIC_GLOW_SWIM);
    mGhostSwimMirror = DarkenedMirror(IMAGE_SHARK_GHOST_SWIM);
    mGhostGlowMirror = DarkenedMirror(IMAGE_SHARK_GHOST_GLOW_SWIM);

    // Sharks by creature type: 0 plain, 1 three-word, 2 two-word, 3 stealth, 4 toxic,
    // 9 and 10 the stealth multi-word kinds.
    auto& shark = mSharkImages;
    shark[2][VARIANT_MIRRORED] = MirroredCopy(GetImage(IMAGE_SHARK_RED_SWIM));
    shark[2][VARIANT_RED] = TintedCopy(GetImage(IMAGE_SHARK_RED_SWIM), RED);
    shark[9][VARIANT_SWIM] = TintedCopy(GetImage(IMAGE_SHARK_RED_SWIM), SEE_THROUGH);
    shark[9][VARIANT_DEATH] = TintedCopy(GetImage(IMAGE_SHARK_RED_DEATH), SEE_THROUGH);
    shark[0][VARIANT_SWIM] = GetImage(IMAGE_SHARK_BASIC_SWIM);
    shark[0][VARIANT_MIRRORED] = MirroredCopy(GetImage(IMAGE_SHARK_BASIC_SWIM));
    shark[0][VARIANT_RED] = TintedCopy(GetImage(IMAGE_SHARK_BASIC_SWIM), RED);
    shark[0][VARIANT_DEATH] = GetImage(IMAGE_SHARK_BASIC_DEATH);
    shark[3][VARIANT_SWIM] = TintedCopy(GetImage(IMAGE_SHARK_BASIC_SWIM), SEE_THROUGH);
    shark[3][VARIANT_DEATH] = TintedCopy(GetImage(IMAGE_SHARK_BASIC_DEATH), SEE_THROUGH);
    shark[1][VARIANT_MIRRORED] = MirroredCopy(GetImage(IMAGE_SHARK_BLACK_SWIM));
    shark[1][VARIANT_RED] = TintedCopy(GetImage(IMAGE_SHARK_BLACK_SWIM), RED);
    shark[10][VARIANT_SWIM] = TintedCopy(GetImage(IMAGE_SHARK_BLACK_SWIM), SEE_THROUGH);
    shark[10][VARIANT_DEATH] = TintedCopy(GetImage(IMAGE_SHARK_BLACK_DEATH), SEE_THROUGH);
    // The toxic shark's swim strip is its own image, like the plain shark's.
    shark[4][VARIANT_SWIM] = GetImage(IMAGE_TOXIC_BASIC_SWIM);
    shark[4][VARIANT_DEATH] = GetImage(IMAGE_TOXIC_BASIC_DEATH);
    shark[4][VARIANT_RED] = TintedCopy(GetImage(IMAGE_TOXIC_BASIC_SWIM), RED);

    // Piranhas by creature type: 0 plain, 2 red, 3 stealth, 6 white, 7 white stealth.
    auto& piranha = mPiranhaImages;
    piranha[0][VARIANT_MIRRORED] = MirroredCopy(GetImage(IMAGE_PIRANHA_BASIC_SWIM));
    piranha[3][VARIANT_SWIM] = TintedCopy(GetImage(IMAGE_PIRANHA_BASIC_SWIM), SEE_THROUGH);
    piranha[3][VARIANT_DEATH] = TintedCopy(GetImage(IMAGE_PIRANHA_BASIC_DEATH), SEE_THROUGH);
    piranha[6][VARIANT_MIRRORED] = MirroredCopy(GetImage(IMAGE_PIRANHA_WHITE_SWIM));
    piranha[2][VARIANT_MIRRORED] = MirroredCopy(GetImage(IMAGE_GUMBO_SWIM));
    piranha[7][VARIANT_SWIM] = TintedCopy(GetImage(IMAGE_PIRANHA_WHITE_SWIM), SEE_THROUGH);
    piranha[7][VARIANT_DEATH] = TintedCopy(GetImage(IMAGE_PIRANHA_WHITE_DEATH), SEE_THROUGH);

    // The sonar sweep quadrants turned upside down and round for the other half.
    const std::pair<int, std::vector<Image*>*> sweeps[] = {{IMAGE_SONAR_SWEEP_0, &mSonarSweeps},
                                                            {IMAGE_SONAR_SWEEP2_0, &mSonarSweeps2}};
    for (const auto& [first, list] : sweeps) {
        for (int i = 0; i < 5; ++i) {
            Image* source = GetImage(first + i);
            Image* copy = source ? mApp->DuplicateImage(source) : nullptr;
            if (copy != nullptr) {
                mApp->MirrorImageHorizontally(copy);
                mApp->FlipImageVertically(copy);
            }
            list->push_back(KeepDerived(copy));
        }
    }
}

void GameAssets::FreeImages()
{
    mSharkImages.clear();
    mPiranhaImages.clear();
    mFishImages.clear();
    mSonarSweeps.clear();
    mSonarSweeps2.clear();
    mRotorTorpedoMirror = mCannonballMirror = mTorpedoSwimMirror = nullptr;
    mToxicSwimMirror = mToxicGlowMirror = mGhostSwimMirror = mGhostGlowMirror = nullptr;
    for (Image* image : mDerivedImages)
        delete image;
    mDerivedImages.clear();
    for (Image*& image : mImages) {
        delete image;
        image = nullptr;
    }
}

} // namespace Zant
