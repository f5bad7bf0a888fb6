// The page plays the WebAssembly game in a terminal, one module instance per
// game; every rule and text of the game stays in the module. This file is the
// status bar (seed and replay link, lists in use, round pause, messages) and
// the wiring of the page's modules (doc/page.md says what each holds); the
// game as a file (kept, opened, shared, recorded) is game_keeper.js's, and
// what a game's end says and leaves is game_end.js's.
import { createTerminal, PageKeysAddon, ReadableFitAddon, screenOf, writeNote } from './terminal.js';
import { AnnouncerAddon } from './announcer.js';
import { TouchAddon } from './touch.js';
import { Dialogs } from './dialogs.js';
import { Game, checkLists } from './game.js';
import { forgetLinkInAddress, newSeed, readLink, showReplayLink } from './replay_link.js';
import { setUpRoundPause, showRoundPause } from './round_pause.js';
import { listOptions, listsInUse, listWriter, readLists, takeListFiles } from './price_lists.js';
import { recordWrites } from './recording.js';
import { isSaveFile } from './game_controls.js';
import { seedOfSave } from './kept_game.js';
import { GameKeeper } from './game_keeper.js';
import { isLink } from './share_link.js';
import { endOf } from './game_end.js';

const PageTitle = document.title;
const byId = (id) => document.getElementById(id);

const page = {
  factory: null, rules: null, terminal: null, announcer: null, touch: null, dialogs: null,
  game: null, lists: new Map(), afterEnd: null, commandLineRefused: false,
  linkSeed: null, seed: null, pause: null,
  keeper: null,
};

const say = (message) => { byId('message').textContent = message; };
const gameLists = (lists) => listWriter(lists, page.factory.sampleListsFolder);
const runningGame = () => (page.game && !page.game.stopped ? page.game : null);

// Whether a character would be lost: the running game's, or the hero an
// ended game keeps for the next key.
const heroAtStake = () => Boolean(page.game?.hasCharacter || page.afterEnd?.hero);

// Asks before a game with a character is lost; true at once when there is none.
function confirmLosingGame(question, action = 'Start a new game') {
  return heroAtStake() ? page.dialogs.confirm(question, action) : Promise.resolve(true);
}

// A link's seed plays its first game only; every later game gets a new one.
function seedForNextGame() {
  const seed = page.linkSeed ?? newSeed(page.rules.largestSeed);
  if (page.linkSeed === null) forgetLinkInAddress();
  page.linkSeed = null;
  return seed;
}

// A new game, or with `save` (its bytes) the game a save file holds, under
// the file's name; with `keys`, played back from them; `spare`, see
// GameKeeper.starting.
function startGame({ save = null, saveName = 'game.sav', keys = null, spare = false } = {}) {
  page.game?.end('replaced');
  page.afterEnd = null;
  const saveFile = page.keeper.starting({ save, saveName, keys, spare });
  page.terminal.reset();
  page.touch.showKeyWait(false);
  page.announcer.reset();
  page.seed = save ? seedOfSave(save) : seedForNextGame();
  if (save) page.linkSeed = null;
  showSeed();
  const writeLists = gameLists(page.lists);
  page.game = new Game({
    factory: page.factory,
    screen: screenOf(page.terminal),
    announcer: page.announcer,
    setTitle: (text) => { document.title = text ?? PageTitle; },
    showKeyWait: (waiting) => page.touch.showKeyWait(waiting),
    ...page.keeper.hooks(),
    onEnd: gameEnded,
  }, [...(page.seed === null ? [] : ['--seed', page.seed]), '--pause', page.pause, ...saveFile.options,
    ...listOptions(page.lists)], (module) => {
    writeLists(module);
    saveFile.prepare(module);
  });
  page.keeper.started(page.game, keys);
  page.touch.focusInput();
}

// The list button as this screen labels it ("My lists" on a phone), without
// the ellipsis that says it opens a chooser.
const listButtonLabel = () => byId('use-lists').innerText.trim().replace(/…$/, '');

function gameEnded(how) {
  if (how === 'replaced' || page.keeper.ended(how, page.game.errors)) return;
  // Only the address can give the game a command line it refuses, and the
  // page checks it first; should the game still refuse one, a game with a
  // seed of the page's own takes its place, once.
  if (how === `status ${page.rules.exitStatuses.badCommandLine}` && !page.commandLineRefused) {
    page.commandLineRefused = true;
    say(`This link's seed is not a number from 0 to ${page.rules.largestSeed}; here is a new game`);
    startGame();
    return;
  }
  page.afterEnd = endOf(how, {
    hero: page.keeper.heroToGoOn(page.game.hadCharacter),
    listsRefused: how === `status ${page.rules.exitStatuses.listsRefused}` && page.lists.size > 0,
    listButton: listButtonLabel(),
  });
  const { note, message } = page.afterEnd;
  say(message ?? '');  // what was said during the game (a restore, a playback) is over with it
  writeNote(page.terminal, note);
  page.announcer.show(note);
  document.title = PageTitle;
  page.touch.showKeyWait(true);
}

// After a game's end, a key goes on with the hero it kept, or starts the
// next game; after refused lists, with the sample lists rather than the
// same refusal again.
function startAfterEnd() {
  const { hero, sampleLists } = page.afterEnd ?? {};
  if (sampleLists) {
    useLists(new Map());
    say('Playing with the sample lists.');
  } else {
    say('');
    startGame(hero ?? {});
  }
}

function typeIntoGame(data) {
  if (page.keeper.playing && data !== '\x03') {
    say('This shared game is playing back: "Play from here" gives you the keyboard.');
    return;
  }
  if (runningGame()) page.game.type(data);
  else if (data !== '\x03') startAfterEnd();
}

function showSeed() {
  if (page.seed === null) {
    byId('seed').textContent = 'A save file';
    return;
  }
  showReplayLink(byId('seed'), page.seed, page.pause, async (href) => {
    if (await confirmLosingGame('Replay this game from its start?', 'Replay')) page.dialogs.leave(href);
  });
}

const capitalised = (text) => text[0].toUpperCase() + text.slice(1);

function showLists(lists) {
  page.lists = lists;
  byId('lists').textContent = capitalised(listsInUse(lists));
}

function useLists(lists) {
  showLists(lists);
  say('');
  startGame();
}

async function useFiles(files) {
  if (files.length === 1 && await isSaveFile(files[0])) {
    page.keeper.openSaveFile(files[0]);
    return;
  }
  const { lists, refusal } = await readLists(files);
  if (refusal) say(refusal);
  else if (lists.size > 0 && await confirmLosingGame(`Start a new game with ${listsInUse(lists)}?`)) useLists(lists);
}

async function showCheck() {
  const lists = page.lists;
  const message = byId('message').textContent;
  say(`Checking ${listsInUse(lists)}…`);
  const { status, report } = await checkLists(page.factory, listOptions(lists), gameLists(lists));
  say(message);
  // The report's own closing line sums it up.
  const closing = report.trimEnd().split('\n').at(-1);
  page.dialogs.showReport(`Check of ${listsInUse(lists)}`,
    status === null ? 'The check stopped on an internal error.' : closing, report);
}

function setUpListButtons() {
  takeListFiles(byId('use-lists'), byId('list-files'), useFiles);
  byId('check-lists').addEventListener('click', showCheck);
  byId('sample-lists').addEventListener('click', async () => {
    if (await confirmLosingGame('Start a new game with the sample price lists?')) useLists(new Map());
  });
}

// The page's controls, in the order Tab reaches them.
const controls = () => [...document.querySelectorAll('#status a, #status button, #status select, #status input:not([hidden])')];

function setUpTerminal() {
  const terminal = createTerminal();
  terminal.open(byId('terminal'));
  page.terminal = terminal;
  page.announcer = new AnnouncerAddon(byId('announcement'));
  // While a shared game plays back, a tap is a key of the viewer's, which the page declines.
  const touchedGame = () => (page.keeper.playing && runningGame()
    ? { takesKeys: true, tap: () => (typeIntoGame(''), true) } : runningGame());
  page.touch = new TouchAddon({ runningGame: touchedGame, typeIntoGame, startAfterEnd, confirm: confirmLosingGame });
  for (const addon of [new ReadableFitAddon(page.rules.clearLineEnds), new PageKeysAddon(() => controls().at(-1)),
    page.announcer, page.touch]) terminal.loadAddon(addon);
  terminal.onTitleChange((title) => { document.title = title; });
  terminal.onData(typeIntoGame);
}

function setPause(pause) {
  page.pause = pause;
  showRoundPause(byId('pause'), pause);
}

function setUpKeeper() {
  page.keeper = new GameKeeper({
    say, startGame, showLists, setPause, confirm: confirmLosingGame, focusInput: () => page.touch.focusInput(),
    terminal: page.terminal, rules: page.rules,
    game: () => ({ game: page.game, seed: page.seed, pause: page.pause, lists: page.lists }),
  });
  page.keeper.setUpControls();
  recordWrites(page.terminal, () => page.keeper.recording);
  // A share link pasted into this tab's address changes only its hash.
  window.addEventListener('hashchange', async () => {
    if (isLink(location.hash) && await confirmLosingGame('Watch the shared game?', 'Watch it')) page.keeper.playSharedGame();
  });
}

function setUp(factory) {
  page.factory = factory;
  page.rules = factory.rules;
  setUpTerminal();
  page.dialogs = new Dialogs(() => page.touch.focusAfterDialog());
  byId('screen-reader').addEventListener('change', (event) => {
    page.announcer.enable(event.target.checked);
    page.touch.focusInput();
  });
  setUpListButtons();
  page.dialogs.askBeforeLeaving(() => heroAtStake() && !page.keeper.keepsGame);
  const link = readLink(location.search, page.rules);
  page.linkSeed = link.seed;
  say(link.refusals.join('. '));
  page.pause = setUpRoundPause(byId('pause'), { linkPause: link.pause, ...page.rules }, (pause, byPointer) => {
    page.pause = pause;
    if (page.game) page.game.roundPause = Number(pause);
    showSeed();
    if (byPointer) page.touch.focusInput();
  });
  byId('status').addEventListener('click', (event) => {
    if (event.target.tagName === 'BUTTON' && !page.dialogs.open) page.touch.focusInput();
  });
  setUpKeeper();
  window.brawlarium = {
    terminal: page.terminal,
    get waitingFor() { return page.game?.waitingFor ?? 'end'; },
    get wasmMemoryBytes() { return page.game?.memory() ?? 0; },
  };
  page.keeper.startFirstGame();
}

// The module's exit() unwinds by throwing ExitStatus, which onExit has seen,
// so the page does not report it as an error.
const isExit = (error) => error?.name === 'ExitStatus';
window.addEventListener('error', (event) => { if (isExit(event.error)) event.preventDefault(); });
window.addEventListener('unhandledrejection', (event) => { if (isExit(event.reason)) event.preventDefault(); });

if (typeof createBrawlarium === 'function') {
  setUp(createBrawlarium);
  if (createBrawlarium.version) {
    const version = document.createElement('span');
    version.id = 'version';
    version.textContent = `Brawlarium ${createBrawlarium.version}`;
    byId('status').prepend(version);
  }
} else {
  byId('seed').textContent = 'The game module did not load.';
}
