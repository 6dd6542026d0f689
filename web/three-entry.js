// The parts of three.js the facade page uses, bundled by scripts/setup.sh into
// one classic script (a page opened from disk cannot load modules) that
// defines the global TessivoThree.
export * as THREE from 'three';
export { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';
export { OrbitControls } from 'three/addons/controls/OrbitControls.js';
