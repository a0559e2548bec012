#pragma once

// Every colour the card artwork paints with, named for where it goes.

#include <QColor>

namespace cardovia::qt::art {

// ---------------------------------------------------------------------------------------------
// Inks and metals shared across the deck.

inline const QColor kRedInk{0xc8, 0x10, 0x2e};     // hearts and diamonds; the king's jewel, rose
inline const QColor kBlackInk{0x1c, 0x1c, 0x22};   // clubs and spades; the ermine's spots
inline const QColor kClubGreen{0x0e, 0x7a, 0x32};    // clubs, with Four-Colour Suits
inline const QColor kDiamondBlue{0x14, 0x4c, 0xc8};  // diamonds, with Four-Colour Suits
inline const QColor kBorderInk{0x70, 0x70, 0x78};  // the edge of every card
inline const QColor kFaceWhite{0xff, 0xff, 0xfd};  // card fronts and the margin of the backs
inline const QColor kGold{0xd8, 0xa5, 0x2a};       // court trim, crowns, the jester's bells
inline const QColor kDarkGold{0x8a, 0x62, 0x10};   // outlines of everything gold
// The shine atop the king's crown and the queen's tiara.
inline const QColor kGoldHighlight{0xff, 0xe0, 0x7a};
inline const QColor kOutline{0x3a, 0x2a, 0x20};  // the usual outline; court figures' eyes
inline const QColor kSkin{0xf6, 0xd7, 0xba};     // faces and hands

// ---------------------------------------------------------------------------------------------
// Court cards: each rank's robe, the robe's shaded sides and the panel behind the figure.

inline const QColor kKingRobe{0xb3, 0x1b, 0x2f};
inline const QColor kKingRobeShade{0x6e, 0x0b, 0x1a};
inline const QColor kKingPanel{0xfb, 0xef, 0xe0};
inline const QColor kQueenRobe{0x2a, 0x58, 0xb8};
inline const QColor kQueenRobeShade{0x13, 0x2c, 0x6e};
inline const QColor kQueenPanel{0xec, 0xf1, 0xfb};
inline const QColor kJackRobe{0x22, 0x8a, 0x55};
inline const QColor kJackRobeShade{0x0f, 0x4c, 0x2d};
inline const QColor kJackPanel{0xee, 0xf7, 0xec};

inline const QColor kRobeFolds{0, 0, 0, 90};  // the shadowed folds at the arms

inline const QColor kCourtCheeks{0xe8, 0x9a, 0x8a};
inline const QColor kCourtSmile{0xa0, 0x30, 0x30};

inline const QColor kErmine{0xfb, 0xfa, 0xf6};
inline const QColor kKingWhiteOutline{0x80, 0x78, 0x70};  // around the ermine, hair and beard
inline const QColor kKingHair{0xe2, 0xdd, 0xd5};
inline const QColor kKingBeard{0xee, 0xea, 0xe4};

inline const QColor kQueenHair{0x5a, 0x33, 0x1a};
inline const QColor kTiaraJewel{0x3a, 0x8f, 0xd8};
inline const QColor kTiaraPearl{Qt::white};
inline const QColor kRoseStem{0x2d, 0x6a, 0x2a};  // also the leaf's outline
inline const QColor kRoseLeaf{0x3c, 0x9a, 0x3a};
inline const QColor kRoseBloomOutline{0x7a, 0x10, 0x20};

inline const QColor kJackHair{0xa8, 0x5a, 0x20};
inline const QColor kJackFeather{0xfa, 0xf4, 0xdc};
inline const QColor kJackFeatherOutline{0x8a, 0x80, 0x60};
inline const QColor kHalberdShaft{0x6b, 0x45, 0x20};
inline const QColor kHalberdBlade{0xc8, 0xcf, 0xd8};
inline const QColor kHalberdBladeOutline{0x50, 0x55, 0x60};

// ---------------------------------------------------------------------------------------------
// The joker.

inline const QColor kJesterRed{0xd6, 0x1f, 0x3a};  // also the nose and the corner letters
inline const QColor kJesterBlue{0x1f, 0x5f, 0xc8};
inline const QColor kJesterGreen{0x1e, 0x9a, 0x50};
inline const QColor kJesterPurple{0x7a, 0x2c, 0xa8};
inline const QColor kJesterOrange{0xe8, 0x7a, 0x10};
// The motley of the ruff's points and the banner's letters, in turn.
inline const QColor kJesterMotley[] = {kJesterRed, kJesterBlue, kJesterOrange, kJesterGreen,
                                       kJesterPurple};
inline const QColor kJesterBellShine{0xff, 0xf2, 0xb0};
inline const QColor kJesterCheeks{0xf0, 0x90, 0x90};
inline const QColor kJesterGrin{0xb0, 0x20, 0x30};
inline const QColor kJesterGrinOutline{0x80, 0x20, 0x20};
inline const QColor kJokerGlowCentre{0xff, 0xe9, 0x8a, 200};
inline const QColor kJokerGlowRim{0xff, 0xe9, 0x8a, 0};  // the same yellow, faded out

// ---------------------------------------------------------------------------------------------
// The backs: the light of the threads and rosette, the field's base and its dark edges.

inline const QColor kBlueBackLight{0x7f, 0xaa, 0xec};
inline const QColor kBlueBackBase{0x1f, 0x4e, 0xa8};
inline const QColor kBlueBackDark{0x12, 0x2e, 0x6e};
inline const QColor kRedBackLight{0xf2, 0x8c, 0x96};
inline const QColor kRedBackBase{0xb8, 0x18, 0x2e};
inline const QColor kRedBackDark{0x70, 0x0c, 0x1a};

}  // namespace cardovia::qt::art
